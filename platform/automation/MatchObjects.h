#pragma once

#include <memory>

#include "platform/automation/Automation.h"
#include "platform/automation/RegExpEngine.h"

// The collection that Execute returns: Count, and Item(index from 0) giving a match with
// Value, FirstIndex and Length (in UTF-16 units) and SubMatches (Count, Item(index from 0),
// a group that took no part giving the empty string). One reference; null when out of
// memory.
IDispatch* createMatchCollection(std::shared_ptr<const MatchResults> results);
