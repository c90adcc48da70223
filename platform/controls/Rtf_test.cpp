// The rich text stored in the notes columns: what our writer writes reads
// back the same, RTF as the old control wrote it keeps its text and styles,
// and damaged or hostile input never stops the reader.

#include "platform/controls/Rtf.h"

#include "platform/basic/Strings.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using controls::ReadRtf;
using controls::RtfDocument;
using controls::RtfRun;
using controls::RtfStyle;
using controls::WriteRtf;

RtfStyle bold()
{
    RtfStyle s;
    s.bold = true;
    return s;
}

RtfDocument doc(std::initializer_list<RtfRun> runs)
{
    RtfDocument d;
    for (const auto& r : runs)
        d.Append(r.text, r.style);
    return d;
}

TEST(Rtf, OurOwnOutputReadsBackTheSame)
{
    RtfStyle big;
    big.halfPoints = 28;
    RtfStyle italicUnder;
    italicUnder.italic = true;
    italicUnder.underline = true;
    RtfStyle all{true, true, true, 20};
    const std::vector<RtfDocument> cases = {
        doc({}),
        doc({{"one line", {}}}),
        doc({{"Renewal due ", {}}, {"90 days", bold()}, {" before expiry.\nCall the ", {}}, {"landlord", italicUnder}}),
        doc({{"Heading\n", big}, {"body\n\n", {}}, {"after two blank lines", all}, {"\n", {}}}),
        doc({{"\n\nstarts with empty paragraphs", bold()}}),
        doc({{"braces {like} this and back\\slashes \\par not a paragraph", {}}}),
        doc({{"tab\tseparated\tcolumns", bold()}}),
        doc({{"Café – “quoted” €5 ½ naïve", {}}, {" 中文 Ωmega 😀 end", big}}),
        doc({{"size then plain", big}, {" plain again", {}}, {" bold", bold()}}),
    };
    for (const auto& d : cases) {
        const std::string rtf = WriteRtf(d);
        EXPECT_EQ(ReadRtf(rtf), d) << rtf;
        // Only ASCII goes into the stored text.
        for (char c : rtf)
            EXPECT_LT(static_cast<unsigned char>(c), 0x80) << rtf;
    }
    EXPECT_EQ(ReadRtf(WriteRtf(cases[3])).PlainText(), "Heading\r\nbody\r\n\r\nafter two blank lines\r\n");
    EXPECT_EQ(ReadRtf(WriteRtf(cases[0])).PlainText(), "");
}

TEST(Rtf, RandomDocumentsSurviveTheRoundTrip)
{
    std::mt19937 rng(1234);
    const std::vector<std::string> pieces = {"a", "Zz", " ", "\n", "\t", "{", "}", "\\", "é", "€", "ß", "ł", "😀", "\\par",
                                             "?", "0", "\\'41", "中"};
    for (int round = 0; round < 300; ++round) {
        RtfDocument d;
        const int runs = static_cast<int>(rng() % 8);
        for (int r = 0; r < runs; ++r) {
            RtfStyle s;
            s.bold = rng() % 2;
            s.italic = rng() % 2;
            s.underline = rng() % 2;
            s.halfPoints = rng() % 3 == 0 ? 0 : static_cast<int>(2 + rng() % 100);
            std::string text;
            const int n = static_cast<int>(rng() % 6);
            for (int i = 0; i < n; ++i)
                text += pieces[rng() % pieces.size()];
            d.Append(text, s);
        }
        const std::string rtf = WriteRtf(d, "Arial");
        ASSERT_EQ(ReadRtf(rtf), d) << rtf;
        ASSERT_EQ(ReadRtf(rtf).PlainText(), d.PlainText());
    }
}

TEST(Rtf, ReadsWhatTheOldControlWrote)
{
    const std::string old =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 MS Sans Serif;}"
        "{\\f1\\froman Times New Roman;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\*\\generator Notes Editor 2.0;}\\viewkind4\\uc1\\pard\\f0\\fs17 Option to renew for "
        "\\b 5 years\\b0 , notice by \\cf1\\ul March 1st\\ulnone\\cf0 .\\par\r\n"
        "Rent increases 3\\'25 per year; caf\\'e9 \\'80 10\\par\r\n"
        "\\i\\fs24 Big italic\\i0\\fs17\\tab end\\par\r\n}\r\n";
    const RtfDocument d = ReadRtf(old);
    EXPECT_EQ(d.PlainText(),
              "Option to renew for 5 years, notice by March 1st.\r\nRent increases 3% per year; café € 10\r\nBig "
              "italic\tend");
    RtfStyle small;
    small.halfPoints = 17;
    RtfStyle smallBold = small;
    smallBold.bold = true;
    RtfStyle smallUnder = small;
    smallUnder.underline = true;
    RtfStyle bigItalic;
    bigItalic.italic = true;
    bigItalic.halfPoints = 24;
    ASSERT_GE(d.runs.size(), 6u);
    EXPECT_EQ(d.runs[0], (RtfRun{"Option to renew for ", small}));
    EXPECT_EQ(d.runs[1], (RtfRun{"5 years", smallBold}));
    EXPECT_EQ(d.runs[3], (RtfRun{"March 1st", smallUnder}));
    EXPECT_EQ(d.runs[5], (RtfRun{"Big italic", bigItalic}));

    // Pictures, fields' instructions and other unknown destinations show nothing.
    EXPECT_EQ(ReadRtf("{\\rtf1 a{\\pict\\wmetafile8 0102abcdef}b{\\*\\unknown zzz}c"
                      "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt shown}}\\line d}")
                  .PlainText(),
              "abcshown\r\nd");
    // \plain brings back the box's own size; \b0 and \ul0 end their styles.
    const RtfDocument p = ReadRtf("{\\rtf1\\fs40\\b x\\plain y\\ul z\\ul0 w}");
    EXPECT_EQ(p, doc({{"x", RtfStyle{true, false, false, 40}}, {"y", {}}, {"z", RtfStyle{false, false, true, 0}}, {"w", {}}}));
}

TEST(Rtf, UnicodeEscapesAndTheirStandIns)
{
    EXPECT_EQ(ReadRtf("{\\rtf1 \\u8364?\\u-10179?\\u-8704? x}").PlainText(), "€😀 x");
    // \ucN says how many stand-in characters follow each \uN.
    EXPECT_EQ(ReadRtf("{\\rtf1\\uc2 \\u20013\\'d6\\'d0 y}").PlainText(), "中 y");
    EXPECT_EQ(ReadRtf("{\\rtf1\\uc0 \\u233 z}").PlainText(), "éz");
    // A lone half of a surrogate pair becomes the replacement character.
    EXPECT_EQ(ReadRtf("{\\rtf1 \\u-10179?a\\u-8704?b}").PlainText(), "\xEF\xBF\xBD" "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(ReadRtf("{\\rtf1 \\~\\_\\-\\emdash\\lquote x\\rquote}").PlainText(), "\xC2\xA0\xE2\x80\x91\xE2\x80\x94\xE2\x80\x98x\xE2\x80\x99");
}

TEST(Rtf, TextThatIsNotRtfStaysText)
{
    EXPECT_EQ(ReadRtf("").PlainText(), "");
    EXPECT_EQ(ReadRtf("123 Main Street\r\nSpringfield\rIL\n{braces} \\back").PlainText(),
              "123 Main Street\r\nSpringfield\r\nIL\r\n{braces} \\back");
    // Bytes that are not UTF-8 are Windows-1252, in plain text as in RTF.
    EXPECT_EQ(ReadRtf("caf\xE9 \x80").PlainText(), "café €");
    EXPECT_EQ(ReadRtf("{\\rtf1 caf\xE9}").PlainText(), "café");
    EXPECT_EQ(ReadRtf("{\\rtf1 café}").PlainText(), "café");
    EXPECT_EQ(ReadRtf("  \r\n{\\rtf1 leading blanks}").PlainText(), "leading blanks");
}

TEST(Rtf, DamagedInputKeepsWhatCanBeRead)
{
    // Unbalanced braces: missing ones end at the end, surplus ones end the document.
    EXPECT_EQ(ReadRtf("{\\rtf1 {\\b open {\\i deeper").PlainText(), "open deeper");
    EXPECT_EQ(ReadRtf("{\\rtf1 kept} dropped}}}").PlainText(), "kept");
    EXPECT_EQ(ReadRtf("{\\rtf1 a}}}}{\\b").PlainText(), "a");
    // Huge numbers are held at a bound.
    const RtfDocument huge = ReadRtf("{\\rtf1\\fs99999999999999999999999999 x\\uc99999999999 \\u99999999999999? y}");
    ASSERT_FALSE(huge.runs.empty());
    EXPECT_EQ(huge.runs[0].style.halfPoints, 3276);
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\bin999999999999999999 never shown}").PlainText(), "a");
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\bin3 \x01{}b}").PlainText(), "ab");
    // Very long control words, a backslash at the very end, bad hex.
    EXPECT_EQ(ReadRtf("{\\rtf1 a\\" + std::string(100000, 'x') + " b\\'zz\\'4").PlainText(), "abzz");
    EXPECT_EQ(ReadRtf("{\\rtf1 end\\").PlainText(), "end");

    // Deep nesting costs no stack and keeps the text.
    std::string deep = "{\\rtf1 ";
    deep += std::string(200000, '{') + "\\b deep" + std::string(200000, '}') + " after}";
    EXPECT_EQ(ReadRtf(deep).PlainText(), "deep after");
}

TEST(Rtf, TruncatedAtEveryPositionReadsAPrefix)
{
    RtfStyle big;
    big.halfPoints = 30;
    const RtfDocument full = doc({{"First {para} é\n", bold()}, {"Second\\line\t€", big}, {" and plain\n\nlast", {}}});
    const std::string rtf = WriteRtf(full);
    const std::string text = full.PlainText();
    for (size_t n = 0; n <= rtf.size(); ++n) {
        const std::string part = ReadRtf(rtf.substr(0, n)).PlainText();
        if (n >= 5) { // below "{\rtf" the cut text is read as plain text
            EXPECT_EQ(text.substr(0, part.size()), part) << n;
        }
        EXPECT_TRUE(vb::IsValidUtf8(part));
    }
}

TEST(Rtf, RandomBytesNeverStopTheReader)
{
    std::mt19937 rng(99);
    const std::string alphabet = "{}\\\\\\'0123456789abcdefuBbinpar-* \r\n\x01\x80\xFF\xC3\xA9";
    for (int round = 0; round < 2000; ++round) {
        std::string s = round % 2 ? "{\\rtf1 " : "";
        const size_t n = rng() % 200;
        for (size_t i = 0; i < n; ++i)
            s.push_back(round % 3 ? alphabet[rng() % alphabet.size()] : static_cast<char>(rng() & 0xFF));
        const RtfDocument d = ReadRtf(s);
        ASSERT_TRUE(vb::IsValidUtf8(d.PlainText()));
        // Whatever was read is written and read back unchanged.
        ASSERT_EQ(ReadRtf(WriteRtf(d)), d) << s;
    }
}

} // namespace
