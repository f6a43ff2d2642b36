#include "app/InstallLayout.h"

#include "TestFiles.h"

#include <sstream>

#include <gtest/gtest.h>

using namespace tamblin;

TEST(InstallLayoutTest, ABuildTreeKeepsEverythingBesideThePrograms) {
    TestFiles files;
    files.Write("bin/Tamblin.HM", "");
    files.Write("bin/tamblin-browser.so", "");
    // An installed copy around the build must not win over what was built.
    files.Write("share/tamblin/Tamblin.HM", "");
    files.Write("lib/tamblin/tamblin-browser.so", "");
    InstallLayout layout = InstallLayout::Find(files.Path("bin/"));
    EXPECT_EQ(layout.dataDirectory, files.Path("bin/"));
    EXPECT_EQ(layout.pluginDirectory, files.Path("bin/"));
}

TEST(InstallLayoutTest, AnInstalledCopySplitsDataAndPluginUnderItsPrefix) {
    TestFiles files;
    files.Write("usr/share/tamblin/Tamblin.HM", "");
    files.Write("usr/lib/tamblin/tamblin-browser.so", "");
    InstallLayout layout = InstallLayout::Find(files.Path("usr/bin/"));
    EXPECT_EQ(layout.programDirectory, files.Path("usr/bin/"));
    EXPECT_EQ(layout.dataDirectory, files.Path("usr/share/tamblin/"));
    EXPECT_EQ(layout.pluginDirectory, files.Path("usr/lib/tamblin/"));
}

TEST(InstallLayoutTest, WithNeitherLayoutTheProgramDirectoryStandsAndTheReportSaysWhatIsMissing) {
    TestFiles files;
    files.Write("bin/Doc/Tamblin/Contents.htm", "");
    InstallLayout layout = InstallLayout::Find(files.Path("bin/"));
    EXPECT_EQ(layout.dataDirectory, files.Path("bin/"));
    EXPECT_EQ(layout.pluginDirectory, files.Path("bin/"));
    std::ostringstream out;
    EXPECT_FALSE(layout.Report(true, out));
    std::string text = out.str();
    EXPECT_NE(text.find("help pages: " + files.Path("bin/Doc/Tamblin/") + "\n"), std::string::npos);
    EXPECT_NE(text.find("topic map: " + files.Path("bin/Tamblin.HM") + " (missing)\n"),
              std::string::npos);
    EXPECT_NE(text.find("redistributables: " + files.Path("bin/Redist/") + " (missing)\n"),
              std::string::npos);
}

TEST(InstallLayoutTest, TheReportIsCompleteOnlyWithEverythingAndALoadedPlugin) {
    TestFiles files;
    files.Write("share/tamblin/Doc/Tamblin/Contents.htm", "");
    files.Write("share/tamblin/Tamblin.HM", "");
    files.Write("share/tamblin/Redist/applet.jar", "");
    files.Write("bin/lumio", "");
    InstallLayout layout = InstallLayout::Find(files.Path("bin/"));
    std::ostringstream out;
    EXPECT_TRUE(layout.Report(true, out));
    EXPECT_EQ(out.str().find("missing"), std::string::npos);
    std::ostringstream without;
    EXPECT_FALSE(layout.Report(false, without));
    EXPECT_NE(without.str().find("(not loaded)"), std::string::npos);
}
