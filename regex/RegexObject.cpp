#include "regex/RegexObject.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "regex/ComponentBridge.h"
#include "text/CodePageConversion.h"
#include "text/TextBetween.h"

namespace {

// Counts arrive as reals; they become integers by truncation toward zero.
int truncated(double number) {
    if (std::isnan(number)) {
        return 0;
    }
    if (number >= double(INT_MAX)) {
        return INT_MAX;
    }
    if (number <= double(INT_MIN)) {
        return INT_MIN;
    }
    return int(number);
}

// The component numbers its items from 0; the computation is real so INT_MIN cannot wrap.
double itemNumber(int index) {
    return double(index) - 1;
}

} // namespace

// `subject` is empty only after destroy: it holds the integer 0 until the first create
// and a byte array after it.
RegexObject::RegexObject() {
    VariantInit(&subject);
    subject.vt = VT_I4;
    subject.lVal = 0;
    CoInitialize(nullptr);
}

RegexObject::~RegexObject() {
    destroy();
}

void RegexObject::destroy() {
    if (subject.vt == VT_EMPTY) {
        return;
    }
    releaseObject(regExp);
    releaseObject(matches);
    clearVariant(subject);
    CoUninitialize();
}

std::unique_ptr<RegexObject> RegexObject::copy() const {
    auto duplicate = std::make_unique<RegexObject>();
    duplicate->regExp = shareObject(regExp);
    duplicate->matches = shareObject(matches);
    if (subject.vt != VT_EMPTY) {
        copyVariant(duplicate->subject, subject);
    }
    return duplicate;
}

bool RegexObject::create(const Text& patternText, const Text& text, bool caseSensitive,
                         bool multiline, bool global, bool expandQuotes) {
    releaseObject(regExp);
    releaseObject(matches);
    regExp = createObject("VBScript.RegExp");
    writeProperty(regExp, "IgnoreCase", !caseSensitive);
    writeProperty(regExp, "Multiline", multiline);
    // The platform's own component has no Singleline; the write then fails quietly.
    writeProperty(regExp, "Singleline", true);
    writeProperty(regExp, "Global", global);
    writeProperty(regExp, "Pattern", expandQuotes ? expandQuoteMarkers(patternText) : patternText);
    // gbkToUtf16(text), converted straight into the array.
    storeBytes(subject, gbkToUtf16Bound(text),
               [&text](char* out) { return gbkToUtf16Into(text, out); });
    IDispatch* collection = callObject(regExp, "Execute", {subject});
    releaseObject(matches);
    matches = collection;
    return matches != nullptr;
}

void RegexObject::placeholder() {}

Text RegexObject::pattern() const {
    if (regExp == nullptr) {
        return {};
    }
    return readText(regExp, "Pattern");
}

Text RegexObject::replace(const Text& replacement) const {
    return callText(regExp, "Replace", {subject, replacement});
}

int RegexObject::matchCount() const {
    return truncated(readNumber(matches, "Count"));
}

Text RegexObject::matchText(int index, int* position) const {
    IDispatch* match = readObject(matches, "Item", {itemNumber(index)});
    VARIANT value = readVariant(match, "Value");
    Text result = utf16BytesToGbkText(variantToUtf16Bytes(value));
    clearVariant(value);
    if (position != nullptr) {
        *position = positionIn(result, match);
    }
    releaseObject(match);
    return result;
}

Text RegexObject::subMatchText(int index, int subIndex, int* position) const {
    IDispatch* match = readObject(matches, "Item", {itemNumber(index)});
    IDispatch* groups = readObject(match, "SubMatches");
    VARIANT value = readVariant(groups, "Item", {itemNumber(subIndex)});
    Text result = variantToText(value);
    clearVariant(value);
    if (position != nullptr) {
        *position = positionIn(result, match);
    }
    releaseObject(groups);
    releaseObject(match);
    return result;
}

int RegexObject::subMatchCount() const {
    IDispatch* match = readObject(matches, "Item", {0});
    IDispatch* groups = readObject(match, "SubMatches");
    int count = truncated(readNumber(groups, "Count"));
    releaseObject(groups);
    releaseObject(match);
    return count;
}

int RegexObject::positionIn(const Text& sought, IDispatch* match) const {
    Bytes units = variantToUtf16Bytes(subject);
    Text source = utf16BytesToGbkText(units);
    // FirstIndex counts UTF-16 units. Read as a byte position it would start the search
    // inside or before the match wherever a double-byte character precedes it, and the
    // character stepping could then miss or misplace it; so start at the match's own byte.
    std::size_t before = std::size_t(std::max(truncated(readNumber(match, "FirstIndex")), 0));
    Text prefix = utf16BytesToGbkText(units.substr(0, std::min(2 * before, units.size())));
    int start = textLength(prefix) + 1;
    return findText(source, sought, start, searchIgnoresCase()) - 1;
}

bool RegexObject::searchIgnoresCase() const {
    VARIANT flag = readVariant(regExp, "IgnoreCase");
    // A Boolean does not turn into a byte array here, so this gives the empty Text and the
    // search compares exactly, which suits a text taken verbatim from the source.
    Text spelled = utf16BytesToGbkText(variantToUtf16Bytes(flag));
    clearVariant(flag);
    return spelled == "0";
}
