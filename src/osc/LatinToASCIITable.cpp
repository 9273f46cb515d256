// The lossy rule's transform as a table: what ICU's Latin-ASCII transliterator gives, for
// systems without ICU. The Linux tests check every code point, and the marks after every kind
// of base, against ICU itself and name the spelling ICU gives wherever the two differ.
#include <algorithm>
#include <cstdint>

#include "osc/LatinToASCII.h"

namespace tempik::osc::detail {
namespace {

struct Run {
  char32_t first;
  std::string_view letters;
};
struct Spelling {
  char32_t codePoint;
  std::string_view text;
};
struct Range {
  char32_t first;
  char32_t last;
};

// Spellings of one letter: code point first + i is spelled letters[i]. Within a run "?" also
// fills the places of code points that have no spelling or a longer one (kLonger); code points
// in no run and in kLonger have no ASCII spelling: "?".
constexpr Run kOneLetter[] = {
    {0x00A0, " !??????????\?-"},
    {0x00BF, "?AAAAAA?CEEEEIIIIDNOOOOO*OUUUUY??aaaaaa?ceeeeiiiidnooooo/ouuuuy?"},
    {0x00FF, "yAaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIi??JjKkqLlLlLl"},
    {0x013F, "LlLlNnNnNn?NnOoOoOo??RrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZz"},
    {0x017F, "sbBBb???CcDDDd???EFfG??IIKkl??Nn?Oo??Pp?????tTtTUu?VYyZz"},
    {0x01CD, "AaIiOoUuUuUuUuUu?AaAa??GgGgKkOoOo??j???Gg??NnAa??OoAaAaEeEeIiIiO"},
    {0x020D, "oOoRrRrUuUuSsTt??Hh?d??ZzAaEeOoOoOoOoYylntj??ACcLTsz??BU?EeJj??R"},
    {0x024D, "rYy???b?cdd???e???jggG???hhi?Illl???mnnN???????rrr?R?s?????tu?v?"},
    {0x028D, "??Yzz???????B?GHj?Lq"},
    {0x02B9, "'\"'''???\?<>^?^?'??`????:?????+-????~"},
    {0x0340, "????"},
    {0x0374, "'?????????;?????????"},
    {0x1D00, "A??BCDDE??JKLM?O????????P??TU???VWZ"},
    {0x1D6C, "bdfmnprrstz????I?pU?bdfgklmnprs?vxza?dee??i??u"},
    {0x1E00, "AaBbBbBbCcDdDdDdDdDdEeEeEeEeEeFfGgHhHhHhHhHhIiIiKkKkKkLlLlLlLlMm"},
    {0x1E40, "MmMmNnNnNnNnOoOoOoOoPpPpRrRrRrRrSsSsSsSsSsTtTtTtTtUuUuUuUuUuVvVv"},
    {0x1E80, "WwWwWwWwWwXxXxYyZzZzZzhtwyasss??AaAaAaAaAaAaAaAaAaAaAaAaEeEeEeEe"},
    {0x1EC0, "EeEeEeEeIiIiOoOoOoOoOoOoOoOoOoOoOoOoUuUuUuUuUuUuUuYyYyYyYy??VvYy"},
    {0x2000, "           ????\?------?\?'','\"\"?\"????."},
    {0x2032, "'\"????\?<>????????\?/[]???????*"},
    {0x205F, " "},
    {0x2102, "C???????gHxHh?IILl?N??PPQRRR??????Z???Z?KABC?eEF?Mo????i????????"},
    {0x2142, "???Ddeij"},
    {0x2160, "I???V????X??LCDMi???v????x??lcdm"},
    {0x2212, "-?\?/\\"},
    {0x2223, "|"},
    {0x2329, "<>"},
    {0x2C60, "LlLPRatHhKkZz?M??vWwv???e?o???SZ"},
    {0x3000, " ,.????0<>??????????[]??[][]?\"\""},
    {0xA730, "FS"},
    {0xA740, "KkKkKkLlLlOoOo??PpPpPpQqQq????Vv"},
    {0xA771, "dlmnrRt?DdFf?????????Tt????????NnCc"},
    {0xA7A0, "GgKkNnRrSsH"},
    {0xFE10, ",,.:;!?"},
    {0xFE31, "--?\?(){}[]???\?<>??????[]???????,,.?;:?!-(){}[]#&*+-<>=?\\$%@"},
    {0xFF01, "!\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"},
    {0xFF41, "abcdefghijklmnopqrstuvwxyz{|}~??.??,"},
};

// Longer spellings; a few are several "?", where ICU splits a character into its parts.
constexpr Spelling kLonger[] = {
    {0x00A9, "(C)"},  {0x00AB, "<<"},   {0x00AE, "(R)"},  {0x00B1, "+/-"},   {0x00BB, ">>"},
    {0x00BC, " 1/4"}, {0x00BD, " 1/2"}, {0x00BE, " 3/4"}, {0x00C6, "AE"},    {0x00DE, "TH"},
    {0x00DF, "ss"},   {0x00E6, "ae"},   {0x00FE, "th"},   {0x0132, "IJ"},    {0x0133, "ij"},
    {0x0149, "'n"},   {0x0152, "OE"},   {0x0153, "oe"},   {0x0195, "hv"},    {0x01A2, "OI"},
    {0x01A3, "oi"},   {0x01C4, "DZ"},   {0x01C5, "Dz"},   {0x01C6, "dz"},    {0x01C7, "LJ"},
    {0x01C8, "Lj"},   {0x01C9, "lj"},   {0x01CA, "NJ"},   {0x01CB, "Nj"},    {0x01CC, "nj"},
    {0x01E2, "AE"},   {0x01E3, "ae"},   {0x01F1, "DZ"},   {0x01F2, "Dz"},    {0x01F3, "dz"},
    {0x01FC, "AE"},   {0x01FD, "ae"},   {0x0238, "db"},   {0x0239, "qp"},    {0x0276, "OE"},
    {0x02A3, "dz"},   {0x02A5, "dz"},   {0x02A6, "ts"},   {0x02AA, "ls"},    {0x02AB, "lz"},
    {0x0344, "??"},   {0x1D01, "AE"},   {0x1D6B, "ue"},   {0x1D7A, "th"},    {0x1E9E, "SS"},
    {0x1EFA, "LL"},   {0x1EFB, "ll"},   {0x2016, "||"},   {0x201E, ",,"},    {0x2025, ".."},
    {0x2026, "..."},  {0x203C, "!!"},   {0x2047, "??"},   {0x2048, "?!"},    {0x2049, "!?"},
    {0x20A0, "CE"},   {0x20A2, "Cr"},   {0x20A3, "Fr."},  {0x20A4, "L."},    {0x20A7, "Pts"},
    {0x20B9, "Rs"},   {0x20BA, "TL"},   {0x2100, "a/c"},  {0x2101, "a/s"},   {0x2105, "c/o"},
    {0x2106, "c/u"},  {0x2116, "No"},   {0x2117, "(P)"},  {0x211E, "Rx"},    {0x2121, "TEL"},
    {0x213B, "FAX"},  {0x2150, " 1/7"}, {0x2151, " 1/9"}, {0x2152, " 1/10"}, {0x2153, " 1/3"},
    {0x2154, " 2/3"}, {0x2155, " 1/5"}, {0x2156, " 2/5"}, {0x2157, " 3/5"},  {0x2158, " 4/5"},
    {0x2159, " 1/6"}, {0x215A, " 5/6"}, {0x215B, " 1/8"}, {0x215C, " 3/8"},  {0x215D, " 5/8"},
    {0x215E, " 7/8"}, {0x215F, " 1/"},  {0x2161, "II"},   {0x2162, "III"},   {0x2163, "IV"},
    {0x2165, "VI"},   {0x2166, "VII"},  {0x2167, "VIII"}, {0x2168, "IX"},    {0x216A, "XI"},
    {0x216B, "XII"},  {0x2171, "ii"},   {0x2172, "iii"},  {0x2173, "iv"},    {0x2175, "vi"},
    {0x2176, "vii"},  {0x2177, "viii"}, {0x2178, "ix"},   {0x217A, "xi"},    {0x217B, "xii"},
    {0x2189, " 0/3"}, {0x2190, "<-"},   {0x2192, "->"},   {0x2194, "<->"},   {0x2225, "||"},
    {0x226A, "<<"},   {0x226B, ">>"},   {0x2474, "(1)"},  {0x2475, "(2)"},   {0x2476, "(3)"},
    {0x2477, "(4)"},  {0x2478, "(5)"},  {0x2479, "(6)"},  {0x247A, "(7)"},   {0x247B, "(8)"},
    {0x247C, "(9)"},  {0x247D, "(10)"}, {0x247E, "(11)"}, {0x247F, "(12)"},  {0x2480, "(13)"},
    {0x2481, "(14)"}, {0x2482, "(15)"}, {0x2483, "(16)"}, {0x2484, "(17)"},  {0x2485, "(18)"},
    {0x2486, "(19)"}, {0x2487, "(20)"}, {0x2488, "1."},   {0x2489, "2."},    {0x248A, "3."},
    {0x248B, "4."},   {0x248C, "5."},   {0x248D, "6."},   {0x248E, "7."},    {0x248F, "8."},
    {0x2490, "9."},   {0x2491, "10."},  {0x2492, "11."},  {0x2493, "12."},   {0x2494, "13."},
    {0x2495, "14."},  {0x2496, "15."},  {0x2497, "16."},  {0x2498, "17."},   {0x2499, "18."},
    {0x249A, "19."},  {0x249B, "20."},  {0x249C, "(a)"},  {0x249D, "(b)"},   {0x249E, "(c)"},
    {0x249F, "(d)"},  {0x24A0, "(e)"},  {0x24A1, "(f)"},  {0x24A2, "(g)"},   {0x24A3, "(h)"},
    {0x24A4, "(i)"},  {0x24A5, "(j)"},  {0x24A6, "(k)"},  {0x24A7, "(l)"},   {0x24A8, "(m)"},
    {0x24A9, "(n)"},  {0x24AA, "(o)"},  {0x24AB, "(p)"},  {0x24AC, "(q)"},   {0x24AD, "(r)"},
    {0x24AE, "(s)"},  {0x24AF, "(t)"},  {0x24B0, "(u)"},  {0x24B1, "(v)"},   {0x24B2, "(w)"},
    {0x24B3, "(x)"},  {0x24B4, "(y)"},  {0x24B5, "(z)"},  {0x2985, "(("},    {0x2986, "))"},
    {0x2A74, "::="},  {0x2A75, "=="},   {0x2A76, "==="},  {0x2ADC, "??"},    {0x300A, "<<"},
    {0x300B, ">>"},   {0x3371, "hPa"},  {0x3372, "da"},   {0x3373, "AU"},    {0x3374, "bar"},
    {0x3375, "oV"},   {0x3376, "pc"},   {0x3377, "dm"},   {0x337A, "IU"},    {0x3380, "pA"},
    {0x3381, "nA"},   {0x3383, "mA"},   {0x3384, "kA"},   {0x3385, "KB"},    {0x3386, "MB"},
    {0x3387, "GB"},   {0x3388, "cal"},  {0x3389, "kcal"}, {0x338A, "pF"},    {0x338B, "nF"},
    {0x338E, "mg"},   {0x338F, "kg"},   {0x3390, "Hz"},   {0x3391, "kHz"},   {0x3392, "MHz"},
    {0x3393, "GHz"},  {0x3394, "THz"},  {0x3399, "fm"},   {0x339A, "nm"},    {0x339C, "mm"},
    {0x339D, "cm"},   {0x339E, "km"},   {0x33A7, "m/s"},  {0x33A9, "Pa"},    {0x33AA, "kPa"},
    {0x33AB, "MPa"},  {0x33AC, "GPa"},  {0x33AD, "rad"},  {0x33AE, "rad/s"}, {0x33B0, "ps"},
    {0x33B1, "ns"},   {0x33B3, "ms"},   {0x33B4, "pV"},   {0x33B5, "nV"},    {0x33B7, "mV"},
    {0x33B8, "kV"},   {0x33B9, "MV"},   {0x33BA, "pW"},   {0x33BB, "nW"},    {0x33BD, "mW"},
    {0x33BE, "kW"},   {0x33BF, "MW"},   {0x33C2, "a.m."}, {0x33C3, "Bq"},    {0x33C4, "cc"},
    {0x33C5, "cd"},   {0x33C6, "C/kg"}, {0x33C7, "Co."},  {0x33C8, "dB"},    {0x33C9, "Gy"},
    {0x33CA, "ha"},   {0x33CB, "HP"},   {0x33CC, "in"},   {0x33CD, "KK"},    {0x33CE, "KM"},
    {0x33CF, "kt"},   {0x33D0, "lm"},   {0x33D1, "ln"},   {0x33D2, "log"},   {0x33D3, "lx"},
    {0x33D4, "mb"},   {0x33D5, "mil"},  {0x33D6, "mol"},  {0x33D7, "pH"},    {0x33D8, "p.m."},
    {0x33D9, "PPM"},  {0x33DA, "PR"},   {0x33DB, "sr"},   {0x33DC, "Sv"},    {0x33DD, "Wb"},
    {0x33DE, "V/m"},  {0x33DF, "A/m"},  {0xA732, "AA"},   {0xA733, "aa"},    {0xA734, "AO"},
    {0xA735, "ao"},   {0xA736, "AU"},   {0xA737, "au"},   {0xA738, "AV"},    {0xA739, "av"},
    {0xA73A, "AV"},   {0xA73B, "av"},   {0xA73C, "AY"},   {0xA73D, "ay"},    {0xA74E, "OO"},
    {0xA74F, "oo"},   {0xA760, "VY"},   {0xA761, "vy"},   {0xA764, "TH"},    {0xA765, "th"},
    {0xA766, "TH"},   {0xA767, "th"},   {0xFB00, "ff"},   {0xFB01, "fi"},    {0xFB02, "fl"},
    {0xFB03, "ffi"},  {0xFB04, "ffl"},  {0xFB05, "st"},   {0xFB06, "st"},    {0xFE19, "..."},
    {0xFE30, ".."},   {0xFE3D, "<<"},   {0xFE3E, ">>"},   {0xFF5F, "(("},    {0xFF60, "))"},
    {0xFFE9, "<-"},   {0xFFEB, "->"},   {0x1D15E, "??"},  {0x1D15F, "??"},   {0x1D160, "???"},
    {0x1D161, "???"}, {0x1D162, "???"}, {0x1D163, "???"}, {0x1D164, "???"},  {0x1D1BB, "??"},
    {0x1D1BC, "??"},  {0x1D1BD, "???"}, {0x1D1BE, "???"}, {0x1D1BF, "???"},  {0x1D1C0, "???"},
    {0x1F100, "0."},  {0x1F101, "0,"},  {0x1F102, "1,"},  {0x1F103, "2,"},   {0x1F104, "3,"},
    {0x1F105, "4,"},  {0x1F106, "5,"},  {0x1F107, "6,"},  {0x1F108, "7,"},   {0x1F109, "8,"},
    {0x1F10A, "9,"},  {0x1F110, "(A)"}, {0x1F111, "(B)"}, {0x1F112, "(C)"},  {0x1F113, "(D)"},
    {0x1F114, "(E)"}, {0x1F115, "(F)"}, {0x1F116, "(G)"}, {0x1F117, "(H)"},  {0x1F118, "(I)"},
    {0x1F119, "(J)"}, {0x1F11A, "(K)"}, {0x1F11B, "(L)"}, {0x1F11C, "(M)"},  {0x1F11D, "(N)"},
    {0x1F11E, "(O)"}, {0x1F11F, "(P)"}, {0x1F120, "(Q)"}, {0x1F121, "(R)"},  {0x1F122, "(S)"},
    {0x1F123, "(T)"}, {0x1F124, "(U)"}, {0x1F125, "(V)"}, {0x1F126, "(W)"},  {0x1F127, "(X)"},
    {0x1F128, "(Y)"}, {0x1F129, "(Z)"},
};

// Latin letters, digits and the like: a combining mark right after one of these is dropped.
constexpr Range kMarkBases[] = {
    {0x0030, 0x0039},   {0x0041, 0x005A},   {0x0061, 0x007A},   {0x00A8, 0x00A8},
    {0x00AA, 0x00AA},   {0x00BA, 0x00BA},   {0x00C0, 0x00D6},   {0x00D8, 0x00F6},
    {0x00F8, 0x02B8},   {0x02E0, 0x02E4},   {0x1D00, 0x1D25},   {0x1D2C, 0x1D5C},
    {0x1D62, 0x1D65},   {0x1D6B, 0x1D77},   {0x1D79, 0x1DBE},   {0x1E00, 0x1EFF},
    {0x2071, 0x2071},   {0x207F, 0x207F},   {0x2090, 0x209C},   {0x212A, 0x212B},
    {0x2132, 0x2132},   {0x214E, 0x214E},   {0x2160, 0x2188},   {0x2C60, 0x2C7F},
    {0xA722, 0xA787},   {0xA78B, 0xA7CA},   {0xA7D0, 0xA7D1},   {0xA7D3, 0xA7D3},
    {0xA7D5, 0xA7D9},   {0xA7F2, 0xA7FF},   {0xAB30, 0xAB5A},   {0xAB5C, 0xAB64},
    {0xAB66, 0xAB69},   {0xFB00, 0xFB06},   {0xFF21, 0xFF3A},   {0xFF41, 0xFF5A},
    {0x10780, 0x10785}, {0x10787, 0x107B0}, {0x107B2, 0x107BA}, {0x1DF00, 0x1DF1E},
    {0x1DF25, 0x1DF2A},
};

// The combining marks dropped there (elsewhere each stays one "?").
constexpr Range kDroppedMarks[] = {
    {0x0300, 0x036F},   {0x0485, 0x0486},   {0x064B, 0x0655},   {0x0670, 0x0670},
    {0x0951, 0x0954},   {0x1AB0, 0x1ABD},   {0x1ABF, 0x1ACE},   {0x1CD0, 0x1CD2},
    {0x1CD4, 0x1CE0},   {0x1CE2, 0x1CE8},   {0x1CED, 0x1CED},   {0x1CF4, 0x1CF4},
    {0x1CF8, 0x1CF9},   {0x1DC0, 0x1DFF},   {0x20D0, 0x20DC},   {0x20E1, 0x20E1},
    {0x20E5, 0x20F0},   {0x302A, 0x302D},   {0x3099, 0x309A},   {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2D},   {0x101FD, 0x101FD}, {0x102E0, 0x102E0}, {0x1133B, 0x1133B},
    {0x1CF00, 0x1CF2D}, {0x1CF30, 0x1CF46}, {0x1D167, 0x1D169}, {0x1D17B, 0x1D182},
    {0x1D185, 0x1D18B}, {0x1D1AA, 0x1D1AD},
};

template <std::size_t N>
bool contains(const Range (&ranges)[N], char32_t cp) {
  const auto* after =
      std::upper_bound(std::begin(ranges), std::end(ranges), cp,
                       [](char32_t value, const Range& r) { return value < r.first; });
  return after != std::begin(ranges) && cp <= std::prev(after)->last;
}

std::string_view spelling(char32_t cp) {
  const auto* longer =
      std::lower_bound(std::begin(kLonger), std::end(kLonger), cp,
                       [](const Spelling& s, char32_t value) { return s.codePoint < value; });
  if (longer != std::end(kLonger) && longer->codePoint == cp) return longer->text;
  const auto* after =
      std::upper_bound(std::begin(kOneLetter), std::end(kOneLetter), cp,
                       [](char32_t value, const Run& r) { return value < r.first; });
  if (after != std::begin(kOneLetter)) {
    const Run& run = *std::prev(after);
    if (cp - run.first < run.letters.size()) return run.letters.substr(cp - run.first, 1);
  }
  return "?";
}

constexpr char32_t kReplacement = 0xFFFD;

// The next code point of text from position at, moving at past it. An ill-formed sequence
// gives one U+FFFD for its longest valid start (at least one byte), as ICU reads UTF-8.
char32_t nextCodePoint(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(at++);
  if (lead < 0x80) return lead;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return kReplacement;  // a continuation byte, C0, C1 or F5-FF
  }
  char32_t cp = lead & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i, ++at) {
    if (at >= text.size()) return kReplacement;
    const std::uint8_t next = byte(at);
    if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) return kReplacement;
    cp = (cp << 6) | (next & 0x3F);
  }
  return cp;
}

}  // namespace

std::string toPrintableASCIIByTable(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  bool afterBase = false;
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t cp = nextCodePoint(utf8, at);
    if (afterBase && contains(kDroppedMarks, cp)) continue;
    afterBase = contains(kMarkBases, cp);
    if (cp >= 0x20 && cp <= 0x7E) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x80) {
      out.push_back('?');
    } else {
      out += spelling(cp);
    }
  }
  return out;
}

}  // namespace tempik::osc::detail
