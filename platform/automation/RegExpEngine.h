#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The matches of one run over a subject, in UTF-16 units: for each match the start and end
// of the whole match, then of each group; a group that took no part has both at `unset`.
struct MatchResults {
    static constexpr std::size_t unset = std::size_t(-1);

    std::size_t groupCount = 0;
    std::vector<std::size_t> offsets;
    // The stretch of the subject that the matches and their groups cover, beginning at
    // `keptFrom`: all that reading them after the run needs, the subject itself not kept.
    std::u16string kept;
    std::size_t keptFrom = 0;

    std::size_t matchCount() const { return offsets.size() / (2 * (groupCount + 1)); }
    // Start and end of group `group` (0: the whole match) of match `match`.
    std::size_t start(std::size_t match, std::size_t group) const {
        return offsets[2 * (match * (groupCount + 1) + group)];
    }
    std::size_t end(std::size_t match, std::size_t group) const {
        return offsets[2 * (match * (groupCount + 1) + group) + 1];
    }
    // The text of a group in `subject`, the one the run went over; empty for one that took
    // no part.
    std::u16string_view text(std::u16string_view subject, std::size_t match,
                             std::size_t group) const;
    // Copies into `kept` what the matches cover of `subject`.
    void keep(std::u16string_view subject);
    // The text of a group from what was kept.
    std::u16string_view keptText(std::size_t match, std::size_t group) const;
};

struct RegExpOptions {
    bool ignoreCase = false;
    bool multiline = false;
};

// A pattern in the script dialect compiled for UTF-16 subjects, with the JIT when the
// machine has one. "." never matches CR or LF, so a group stays on its line.
class CompiledPattern {
  public:
    CompiledPattern(std::u16string_view pattern, RegExpOptions options);
    ~CompiledPattern();
    CompiledPattern(const CompiledPattern&) = delete;
    CompiledPattern& operator=(const CompiledPattern&) = delete;

    // False when the pattern did not compile.
    bool compiled() const;
    // The number of capture groups.
    std::size_t groupCount() const;
    // Fills `results.offsets` with the matches in `subject`, the first only unless `global`.
    // After an empty match the search goes on one unit further. False when the run stopped
    // at the backtracking limit or failed otherwise; `results` is then empty.
    bool findMatches(std::u16string_view subject, MatchResults& results, bool global) const;

  private:
    struct Holder;
    std::unique_ptr<Holder> holder;
};
