#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>

#include "platform/automation/Automation.h"
#include "text/Text.h"

// The operations through which the regex object reaches an automation component, each
// naming a member through the component's dispatch interface. None reports failure: a
// failed step gives a null handle, an empty VARIANT, the number 0 or the empty Text. Texts
// cross in the system code page (CP_ACP).

// One argument of a call, in the automation kind that its C++ type names: a Text as a
// string, a bool as VT_BOOL, a double as VT_R8, an int as VT_I4, a VARIANT unchanged.
class ComponentArgument {
  public:
    ComponentArgument(bool value);
    ComponentArgument(int value);
    ComponentArgument(double value);
    ComponentArgument(const Text& value);
    ComponentArgument(const VARIANT& value);
    ComponentArgument(const char*) = delete; // would become a bool; pass a Text
    ~ComponentArgument();
    ComponentArgument(const ComponentArgument&) = delete;
    ComponentArgument& operator=(const ComponentArgument&) = delete;

    const VARIANT& variant() const { return value; }

  private:
    VARIANT value;
    bool owned = false;
};

// Arguments in call order.
using ComponentArguments = std::initializer_list<ComponentArgument>;

// A new instance of the component named `progId`, holding one reference; null on failure.
IDispatch* createObject(const char* progId);
// Writes property `member`; a failed write is ignored.
void writeProperty(IDispatch* object, const char* member, const ComponentArgument& value);
// Reads property `member` (with `arguments`, as for Item) as an object handle that the
// caller releases.
IDispatch* readObject(IDispatch* object, const char* member, ComponentArguments arguments = {});
// Reads property `member` as a VARIANT that the caller clears.
VARIANT readVariant(IDispatch* object, const char* member, ComponentArguments arguments = {});
// Reads property `member` as a number.
double readNumber(IDispatch* object, const char* member, ComponentArguments arguments = {});
// Reads property `member` as a Text, up to its first NUL character.
Text readText(IDispatch* object, const char* member, ComponentArguments arguments = {});
// Calls method `member` for an object handle that the caller releases.
IDispatch* callObject(IDispatch* object, const char* member, ComponentArguments arguments = {});
// Calls method `member` for a Text, up to its first NUL character.
Text callText(IDispatch* object, const char* member, ComponentArguments arguments = {});
// `object` with one more reference, for a second holder.
IDispatch* shareObject(IDispatch* object);
// Releases the reference that `object` holds and leaves it null; null does nothing.
void releaseObject(IDispatch*& object);

// Frees what `variant` holds and leaves it empty.
void clearVariant(VARIANT& variant);
// Makes `destination` an independent copy of `source`.
void copyVariant(VARIANT& destination, const VARIANT& source);
// Replaces what `variant` holds with a byte array (VT_ARRAY | VT_UI1) of `bytes`.
void storeBytes(VARIANT& variant, const Bytes& bytes);
// The same with the bytes that `fill` writes straight into the array: at most `room` of them,
// and `fill` returns how many.
void storeBytes(VARIANT& variant, std::size_t room, const std::function<std::size_t(char*)>& fill);
// The VARIANT as UTF-16LE bytes (VariantChangeType to a byte array); empty when it fails.
Bytes variantToUtf16Bytes(const VARIANT& variant);
// The VARIANT as a Text (VariantChangeType to a string, then the system code page, up to
// the first NUL character); empty when it fails.
Text variantToText(const VARIANT& variant);
