#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <algorithm>

#include "platform/automation/RegExpEngine.h"

namespace {

// Enough for any sound pattern over a large page; a runaway pattern gives up at once.
constexpr std::uint32_t matchLimit = 10'000'000;
constexpr PCRE2_SIZE jitStackStart = 32 * 1024;
constexpr PCRE2_SIZE jitStackLimit = 1024 * 1024;

// As close to the script dialect as the library goes: \uXXXX escapes, "[]" and "[^]",
// unset back-references match empty, "$" without Multiline only at the very end, and
// one code unit is one character.
constexpr std::uint32_t dialect = PCRE2_ALT_BSUX | PCRE2_ALLOW_EMPTY_CLASS |
                                  PCRE2_MATCH_UNSET_BACKREF | PCRE2_DOLLAR_ENDONLY |
                                  PCRE2_NEVER_UTF | PCRE2_NEVER_BACKSLASH_C;

PCRE2_SPTR unitsOf(std::u16string_view text) {
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

} // namespace

std::u16string_view MatchResults::text(std::u16string_view subject, std::size_t match,
                                       std::size_t group) const {
    std::size_t from = start(match, group);
    std::size_t to = end(match, group);
    if (from == unset || to == unset || to < from || to > subject.size()) {
        return {};
    }
    return subject.substr(from, to - from);
}

void MatchResults::keep(std::u16string_view subject) {
    // Groups in a lookaround may reach outside their match, so every offset counts.
    std::size_t from = subject.size();
    std::size_t to = 0;
    for (std::size_t i = 0; i + 1 < offsets.size(); i += 2) {
        if (offsets[i] != unset && offsets[i + 1] != unset && offsets[i] <= offsets[i + 1]) {
            from = std::min(from, offsets[i]);
            to = std::max(to, offsets[i + 1]);
        }
    }
    keptFrom = from < to ? from : 0;
    kept.assign(from < to ? subject.substr(from, to - from) : std::u16string_view());
}

std::u16string_view MatchResults::keptText(std::size_t match, std::size_t group) const {
    std::size_t from = start(match, group);
    std::size_t to = end(match, group);
    if (from == unset || to == unset || to <= from) {
        return {};
    }
    return std::u16string_view(kept).substr(from - keptFrom, to - from);
}

struct CompiledPattern::Holder {
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    pcre2_jit_stack* jitStack = nullptr;

    ~Holder() {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
};

CompiledPattern::CompiledPattern(std::u16string_view pattern, RegExpOptions options)
    : holder(std::make_unique<Holder>()) {
    pcre2_compile_context* compileContext = pcre2_compile_context_create(nullptr);
    if (compileContext == nullptr) {
        return;
    }
    pcre2_set_newline(compileContext, PCRE2_NEWLINE_ANYCRLF);
    std::uint32_t flags = dialect | (options.ignoreCase ? PCRE2_CASELESS : 0) |
                          (options.multiline ? PCRE2_MULTILINE : 0);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    holder->code = pcre2_compile(unitsOf(pattern), pattern.size(), flags, &error, &errorOffset,
                                 compileContext);
    pcre2_compile_context_free(compileContext);
    if (holder->code == nullptr) {
        return;
    }
    // Without the JIT the interpreter runs the same pattern, only slower.
    pcre2_jit_compile(holder->code, PCRE2_JIT_COMPLETE);
    holder->context = pcre2_match_context_create(nullptr);
    if (holder->context == nullptr) {
        pcre2_code_free(holder->code);
        holder->code = nullptr;
        return;
    }
    pcre2_set_match_limit(holder->context, matchLimit);
    holder->jitStack = pcre2_jit_stack_create(jitStackStart, jitStackLimit, nullptr);
    if (holder->jitStack != nullptr) {
        pcre2_jit_stack_assign(holder->context, nullptr, holder->jitStack);
    }
}

CompiledPattern::~CompiledPattern() = default;

bool CompiledPattern::compiled() const {
    return holder->code != nullptr;
}

std::size_t CompiledPattern::groupCount() const {
    std::uint32_t count = 0;
    if (holder->code != nullptr) {
        pcre2_pattern_info(holder->code, PCRE2_INFO_CAPTURECOUNT, &count);
    }
    return count;
}

bool CompiledPattern::findMatches(std::u16string_view subjectUnits, MatchResults& results,
                                  bool global) const {
    results.offsets.clear();
    results.groupCount = groupCount();
    if (holder->code == nullptr) {
        return false;
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(holder->code, nullptr);
    if (data == nullptr) {
        return false;
    }
    const PCRE2_SPTR subject = unitsOf(subjectUnits);
    const PCRE2_SIZE length = subjectUnits.size();
    const std::size_t pairs = results.groupCount + 1;
    bool finished = true;
    PCRE2_SIZE from = 0;
    while (from <= length) {
        int outcome = pcre2_match(holder->code, subject, length, from, 0, data, holder->context);
        if (outcome == PCRE2_ERROR_NOMATCH) {
            break;
        }
        if (outcome < 0) {
            finished = false; // a limit was reached, or the run failed
            break;
        }
        const PCRE2_SIZE* vector = pcre2_get_ovector_pointer(data);
        for (std::size_t i = 0; i < 2 * pairs; ++i) {
            // Groups beyond the highest one that matched are left unset by the library.
            bool set = i < 2 * std::size_t(outcome) && vector[i] != PCRE2_UNSET;
            results.offsets.push_back(set ? vector[i] : MatchResults::unset);
        }
        if (!global) {
            break;
        }
        PCRE2_SIZE start = vector[0];
        PCRE2_SIZE end = vector[1];
        from = end > start ? end : start + 1;
    }
    pcre2_match_data_free(data);
    if (!finished) {
        results.offsets.clear();
    }
    return finished;
}
