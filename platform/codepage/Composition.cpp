#include "platform/codepage/CodePageConverters.h"

#include <iterator>

namespace {

struct Composite {
    char16_t base;
    char16_t mark;
    char16_t composed;
};

constexpr char16_t grave = 0x0300;
constexpr char16_t acute = 0x0301;
constexpr char16_t circumflex = 0x0302;
constexpr char16_t macron = 0x0304;
constexpr char16_t diaeresis = 0x0308;
constexpr char16_t caron = 0x030C;

// Only the letters with diacritics that GBK holds: the pinyin vowels, ê, ń, ň and ё.
constexpr Composite composites[] = {
    {u'a', macron, u'ā'},     {u'a', acute, u'á'},     {u'a', caron, u'ǎ'},  {u'a', grave, u'à'},
    {u'e', macron, u'ē'},     {u'e', acute, u'é'},     {u'e', caron, u'ě'},  {u'e', grave, u'è'},
    {u'e', circumflex, u'ê'}, {u'i', macron, u'ī'},    {u'i', acute, u'í'},  {u'i', caron, u'ǐ'},
    {u'i', grave, u'ì'},      {u'o', macron, u'ō'},    {u'o', acute, u'ó'},  {u'o', caron, u'ǒ'},
    {u'o', grave, u'ò'},      {u'u', macron, u'ū'},    {u'u', acute, u'ú'},  {u'u', caron, u'ǔ'},
    {u'u', grave, u'ù'},      {u'u', diaeresis, u'ü'}, {u'ü', macron, u'ǖ'}, {u'ü', acute, u'ǘ'},
    {u'ü', caron, u'ǚ'},      {u'ü', grave, u'ǜ'},     {u'n', acute, u'ń'},  {u'n', caron, u'ň'},
    {u'е', diaeresis, u'ё'},  {u'Е', diaeresis, u'Ё'},
};

char16_t compose(char16_t base, char16_t mark) {
    for (const Composite& composite : composites) {
        if (composite.base == base && composite.mark == mark) {
            return composite.composed;
        }
    }
    return 0;
}

bool isCombiningMark(char16_t unit) {
    return unit >= 0x0300 && unit <= 0x036F;
}

} // namespace

bool hasCombiningMark(std::u16string_view units) {
    for (const char16_t unit : units) {
        if (isCombiningMark(unit)) {
            return true;
        }
    }
    return false;
}

std::u16string composeForGbk(std::u16string_view units) {
    std::u16string out;
    out.reserve(units.size());
    for (const char16_t unit : units) {
        // Marks stack: u + U+0308 + U+0301 gives ü and then ǘ.
        const char16_t composed =
            isCombiningMark(unit) && !out.empty() ? compose(out.back(), unit) : 0;
        if (composed != 0) {
            out.back() = composed;
        } else {
            out += unit;
        }
    }
    return out;
}
