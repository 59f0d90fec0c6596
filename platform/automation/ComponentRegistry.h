#pragma once

#include <functional>
#include <string_view>

#include "platform/automation/Automation.h"

// Makes a new component object holding one reference; null when it cannot.
using ComponentFactory = std::function<IDispatch*()>;

// Names `factory` by `progId` (case does not count) for CLSIDFromProgID and
// CoCreateInstance; returns the factory it replaces, empty when there was none. An empty
// `factory` removes the name. "VBScript.RegExp" is registered from the start.
ComponentFactory registerComponent(std::u16string_view progId, ComponentFactory factory);
