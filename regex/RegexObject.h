#pragma once

#include <memory>

#include "platform/automation/Automation.h"
#include "text/Text.h"

// One regular-expression run over one GBK Text through the "VBScript.RegExp" component;
// the results come back as GBK Text. Indexes count from 1; an index the component rejects
// gives the empty Text. Use it as a local: construct, create, read.
class RegexObject {
  public:
    // Both handles empty, `subject` the integer 0, and one CoInitialize on this thread.
    RegexObject();
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // Releases `regExp`, then `matches`, clears `subject` and ends this object's
    // CoInitialize. Only the first call does anything.
    virtual void destroy();
    // A new object naming the same component objects (one more reference on each) with a
    // copy of `subject`. Being constructed, it holds its own CoInitialize, which its
    // destroy ends.
    virtual std::unique_ptr<RegexObject> copy() const;
    // Makes a new component, writes IgnoreCase (!caseSensitive), Multiline, Singleline,
    // Global and then Pattern ("#引号" becoming '"' when expandQuotes), runs Execute over
    // `text` and keeps the collection. True when Execute gave a collection, even an empty one.
    virtual bool create(const Text& patternText, const Text& text, bool caseSensitive = false,
                        bool multiline = true, bool global = true, bool expandQuotes = false);
    // Does nothing.
    virtual void placeholder();
    // The component's Pattern; empty before the first create.
    virtual Text pattern() const;
    // The text of the last create with the pattern's matches replaced by `replacement`
    // ($1, $&, ... expanded by the component); empty before the first create.
    virtual Text replace(const Text& replacement) const;
    // The number of matches of the last run; 0 when it gave no collection.
    virtual int matchCount() const;
    // Match `index`. `position`, when given, receives its 0-based byte offset in the text
    // of the last create, or -2 when it is not found there.
    virtual Text matchText(int index, int* position = nullptr) const;
    // Group `subIndex` of match `index` (empty when that group took no part). `position`,
    // when given, receives the 0-based byte offset of its first occurrence from the start
    // of the match, or -2.
    virtual Text subMatchText(int index, int subIndex, int* position = nullptr) const;
    // The number of groups of the first match; 0 when the run found none.
    virtual int subMatchCount() const;
    // Runs destroy when it has not run yet, so that a local is released on every path.
    virtual ~RegexObject();

  private:
    // Byte offset (from 0) of the first `sought` in the text at or after the byte where
    // `match` begins; -2 when there is none.
    int positionIn(const Text& sought, IDispatch* match) const;
    // The case rule of that search, read back from the component.
    bool searchIgnoresCase() const;

    IDispatch* regExp = nullptr;
    IDispatch* matches = nullptr;
    VARIANT subject;
};
