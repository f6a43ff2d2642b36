#include "language/LanguageFile.h"
#include "TestFiles.h"
#include "index/CompanionScript.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace tamblin;

namespace {

// Description "English", then the default texts: what a new file saves as.
std::string DefaultFileBytes(const std::string& description) {
    std::string bytes = std::string("2;1\r\n") + description + "\r\n";
    for (const char* text : LanguageFile::kDefaults) {
        bytes += std::string(text) + "\r\n";
    }
    return bytes;
}

std::vector<std::string> Numbered(const std::string& prefix) {
    std::vector<std::string> texts;
    for (int i = 1; i <= LanguageFile::kTextCount; ++i) {
        texts.push_back(prefix + std::to_string(i));
    }
    return texts;
}

LanguageFile Parsed(const std::string& bytes) {
    LanguageFile file;
    file.Parse(bytes);
    return file;
}

} // namespace

TEST(LanguageFileRead, EmptyPathOrMissingFileGivesDefaultsAndANewFile) {
    TestFiles files;
    for (const std::string& path : {std::string(), files.Path("missing.xol")}) {
        LanguageFile file;
        file.m_description = "stale";
        file.Read(path);
        EXPECT_EQ(file.m_path, path);
        EXPECT_FALSE(file.m_existed);
        EXPECT_FALSE(file.FormatChanged());
        EXPECT_EQ(file.m_format, "2;1");
        EXPECT_EQ(file.m_description, "");
        EXPECT_EQ(file.m_texts, std::vector<std::string>(LanguageFile::kDefaults.begin(),
                                                         LanguageFile::kDefaults.end()));
    }
}

TEST(LanguageFileRead, EmptyLinesBetweenFieldsAreSkipped) {
    std::string plain = "2;1\r\nDeutsch\r\n";
    std::string spaced = "\r\n\r\n2;1\r\n\r\nDeutsch\r\n\n";
    for (const std::string& text : Numbered("T")) {
        plain += text + "\r\n";
        spaced += text + "\r\n\r\n\n";
    }
    LanguageFile a = Parsed(plain);
    LanguageFile b = Parsed(spaced);
    EXPECT_FALSE(a.FormatChanged());
    EXPECT_FALSE(b.FormatChanged());
    EXPECT_EQ(a.m_description, "Deutsch");
    EXPECT_EQ(a.m_texts, Numbered("T"));
    EXPECT_EQ(b.m_description, a.m_description);
    EXPECT_EQ(b.m_texts, a.m_texts);
    EXPECT_EQ(b.Bytes(), plain);
}

TEST(LanguageFileRead, TextsAreNeverTrimmedAndLineEndsMayBeBareLf) {
    LanguageFile file = Parsed("2;1\n  Spaced description \n \nLook: \n\tTab\n");
    EXPECT_EQ(file.m_description, "  Spaced description ");
    EXPECT_EQ(file.m_texts[0], " ");
    EXPECT_EQ(file.m_texts[1], "Look: ");
    EXPECT_EQ(file.m_texts[2], "\tTab");
    EXPECT_EQ(file.m_texts[3], "");
}

TEST(LanguageFileRead, ShortFilesLeaveTheMissingTextsEmpty) {
    LanguageFile onlyDescription = Parsed("2;1\r\nFrançais\r\n");
    EXPECT_EQ(onlyDescription.m_description, "Français");
    EXPECT_EQ(onlyDescription.m_texts, std::vector<std::string>(19));
    LanguageFile lastLineUnended = Parsed("2;1\r\nX\r\nfirst\r\nsecond");
    EXPECT_EQ(lastLineUnended.m_texts[0], "first");
    EXPECT_EQ(lastLineUnended.m_texts[1], "second");
    EXPECT_EQ(lastLineUnended.m_texts[2], "");
}

TEST(LanguageFileRead, WrongOrMissingFormatIsReportedAndWrittenAs21) {
    LanguageFile other = Parsed("2;0\r\nOld\r\nA\r\n");
    EXPECT_TRUE(other.FormatChanged());
    EXPECT_EQ(other.m_format, "2;1");
    EXPECT_EQ(other.m_description, "Old");
    EXPECT_EQ(other.m_texts[0], "A");
    EXPECT_EQ(other.Bytes().substr(0, 5), "2;1\r\n");

    LanguageFile empty = Parsed("");
    EXPECT_TRUE(empty.FormatChanged());
    EXPECT_EQ(empty.m_description, "");
    EXPECT_EQ(empty.m_texts, std::vector<std::string>(19));

    // Only an exact "2;1" is the format; trailing spaces are not stripped here either.
    EXPECT_TRUE(Parsed("2;1 \r\nX\r\n").FormatChanged());
    EXPECT_FALSE(Parsed("\n\n2;1\nX\n").FormatChanged());
}

// Lines after the applet's 19 texts are the script viewer's: kept when the file has them,
// written only when it had them or one was changed, so the applet's files keep their bytes.
TEST(LanguageFileRead, TheViewersTextsFollowTheAppletsAndAreWrittenOnlyWhenThere) {
    std::string bytes = "2;1\r\nD\r\n";
    for (const std::string& text : Numbered("t")) {
        bytes += text + "\r\n";
    }
    LanguageFile plain = Parsed(bytes);
    EXPECT_EQ(plain.m_viewerTexts[0], LanguageFile::kViewerDefaults[0]);
    EXPECT_EQ(plain.Bytes(), bytes);
    plain.m_viewerTexts[2] = "Illisible";
    EXPECT_EQ(plain.Bytes(), bytes + LanguageFile::kViewerDefaults[0] + "\r\n" +
                                 LanguageFile::kViewerDefaults[1] + "\r\nIllisible\r\n");

    LanguageFile two = Parsed(bytes + "extra\r\n\r\nmore\r\n");
    EXPECT_EQ(two.m_texts, Numbered("t"));
    EXPECT_EQ(two.m_viewerTexts[0], "extra");
    EXPECT_EQ(two.m_viewerTexts[1], "more");
    EXPECT_EQ(two.m_viewerTexts[2], LanguageFile::kViewerDefaults[2]);
    EXPECT_EQ(two.Bytes(), bytes + "extra\r\nmore\r\n");

    // Past the viewer's last text, lines are ignored; a blank viewer text cannot be written.
    std::string all = bytes;
    for (int i = 0; i < LanguageFile::kViewerTextCount; ++i) {
        all += "v" + std::to_string(i) + "\r\n";
    }
    LanguageFile full = Parsed(all + "beyond\r\n");
    EXPECT_EQ(full.m_viewerTexts.back(), "v" + std::to_string(LanguageFile::kViewerTextCount - 1));
    EXPECT_EQ(full.Bytes(), all);
    full.m_viewerTexts[5].clear();
    EXPECT_NE(full.FindUnwritableField(), "");
}

// A file translated before the viewer had a text for one page found keeps its bytes; the
// new text is written once it is changed, after the others.
TEST(LanguageFileRead, AFileOfEveryEarlierViewerTextKeepsItsBytes) {
    std::string bytes = "2;1\r\nD\r\n";
    for (const std::string& text : Numbered("t")) {
        bytes += text + "\r\n";
    }
    for (int i = 0; i + 1 < LanguageFile::kViewerTextCount; ++i) {
        bytes += "v" + std::to_string(i) + "\r\n";
    }
    LanguageFile file = Parsed(bytes);
    EXPECT_EQ(file.m_viewerTexts.back(), "%1 page found");
    EXPECT_EQ(file.Bytes(), bytes);
    file.m_viewerTexts.back() = "%1 Seite gefunden";
    EXPECT_EQ(file.Bytes(), bytes + "%1 Seite gefunden\r\n");
}

TEST(LanguageFileRead, ReadSetsExistedEvenForAnEmptyFile) {
    TestFiles files;
    LanguageFile file;
    file.Read(files.Write("empty.xol", ""));
    EXPECT_TRUE(file.m_existed);
    EXPECT_TRUE(file.FormatChanged());
    EXPECT_EQ(file.m_texts, std::vector<std::string>(19));
}

TEST(LanguageFileWrite, NewFileWritesExactlyFormatDescriptionAndTexts) {
    TestFiles files;
    LanguageFile file;
    file.m_description = "English";
    ASSERT_TRUE(file.Write(files.Path("en.xol")).Ok());
    EXPECT_EQ(TestFiles::Read(files.Path("en.xol")), DefaultFileBytes("English"));
    // The three prompts keep the space the applet puts its field after.
    EXPECT_NE(DefaultFileBytes("English").find("\r\nLook for: \r\nKeywords: \r\nPages: \r\n"),
              std::string::npos);
}

TEST(LanguageFileWrite, BytesRoundTripUnchanged) {
    TestFiles files;
    // Windows-1252 accents and a one-space text must come back byte for byte.
    std::string bytes = "2;1\r\nFran\xe7"
                        "ais\r\n \r\n";
    for (int i = 2; i <= LanguageFile::kTextCount; ++i) {
        bytes += "Texte \xe9\xe8\x80 " + std::to_string(i) + "\r\n";
    }
    LanguageFile file;
    file.Read(files.Write("fr.xol", bytes));
    ASSERT_TRUE(file.Write(files.Path("out.xol")).Ok());
    EXPECT_EQ(TestFiles::Read(files.Path("out.xol")), bytes);
}

TEST(LanguageFileWrite, ReplacesAnExistingFileWhole) {
    TestFiles files;
    std::string path = files.Write("en.xol", std::string(5000, 'x'));
    LanguageFile file;
    file.m_description = "Short";
    ASSERT_TRUE(file.Write(path).Ok());
    EXPECT_EQ(TestFiles::Read(path), DefaultFileBytes("Short"));
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(path).parent_path()),
                  std::filesystem::directory_iterator()),
              1);
}

TEST(LanguageFileWrite, RefusesFieldsThatWouldNotReadBackInPlace) {
    TestFiles files;
    LanguageFile file;
    EXPECT_NE(file.FindUnwritableField(), ""); // no description
    EXPECT_FALSE(file.Write(files.Path("a.xol")).Ok());
    file.m_description = "D";
    EXPECT_EQ(file.FindUnwritableField(), "");
    file.m_texts[4] = "";
    EXPECT_NE(file.FindUnwritableField().find("Index tab name"), std::string::npos);
    file.m_texts[4] = "two\r\nlines";
    EXPECT_NE(file.FindUnwritableField().find("line break"), std::string::npos);
    EXPECT_FALSE(file.Write(files.Path("a.xol")).Ok());
    EXPECT_FALSE(std::filesystem::exists(files.Path("a.xol")));
}

TEST(LanguageFileWrite, UnwritablePathFailsAndLeavesNothing) {
    TestFiles files;
    LanguageFile file;
    file.m_description = "D";
    EXPECT_FALSE(file.Write(files.Path("no-such-dir/a.xol")).Ok());
    EXPECT_FALSE(file.Write("").Ok());
}

TEST(LanguageFileWrite, RewritesTheCompanionBesideItOnlyWhereThereIsOne) {
    TestFiles files;
    LanguageFile file;
    file.Read("");
    file.m_description = "English";
    ASSERT_TRUE(file.Write(files.Path("en.xol")).Ok());
    EXPECT_FALSE(std::filesystem::exists(files.Path("en.xol.js")));

    files.Write("en.xol.js", "old");
    file.m_description = "British";
    ASSERT_TRUE(file.Write(files.Path("en.xol")).Ok());
    EXPECT_FALSE(file.CompanionStale());
    EXPECT_EQ(CompanionBytes(TestFiles::Read(files.Path("en.xol.js"))),
              DefaultFileBytes("British"));
}
