#include "ViewerSite.h"
#include "WebViewerPage.h"

#include <QImage>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using tamblin::IndexParameter;
using tamblin::SearchPageSettings;

namespace {

// A small site: two books with pages below them, keywords, a page tip and a base URL whose
// pages open in the frame "main".
const char* kSiteIndex = "XO0;2;1;1;Tamblin 1.1.18\r\n"
                         "1;Test site;December 6 2026\r\n"
                         "3;1;docs/;main\r\n"
                         "5;1;;;Getting started;;0;\r\n"
                         "5;2;1;intro.htm;Introduction;;1;\r\n"
                         "6;2;Read this first\r\n"
                         "7;&2;&2;&2;\r\n"
                         "7;Guide to setup;&2#setup;&2 (setup);\r\n"
                         "5;3;1;guide.htm;Guide;;1;\r\n"
                         "7;Guide;&3#a;&3 (a);\r\n"
                         "7;Guided tour;&3#tour;&3 (tour);\r\n"
                         "5;4;;reference.htm;Reference;;0;\r\n"
                         "7;Zebra;&4;&4;\r\n"
                         "7;Apple;&4#apple;&4 (apple);\r\n"
                         "5;5;;hidden.htm;Not in contents;;-1;\r\n";

const char* kFrench = "2;1\r\nFrancais\r\nChercher : \r\nMots : \r\nPages : \r\nSommaire\r\n"
                      "Index\r\nChoisir\r\nA propos\r\nSortir\r\nAfficher la page\r\n"
                      "Choisir l'index (langue)\r\nA propos de Navora...\r\nInfo\r\n"
                      "Lecture\r\nIndex lu\r\nCliquer\r\nLecture du fichier...\r\n"
                      "Index non lu\r\nAffichage\r\nImpossible d'afficher\r\n";

const char* kTargetPage = "<html><body><script>"
                          "parent.postMessage(window.name + '|' + location.href, '*');"
                          "</script>shown</body></html>";

// Script helpers the tests call in the page: row texts of a list, keys, tab choice.
const char* kHelpers = R"JS(
window.T = {
  viewer(n) { return document.querySelectorAll('.nv-viewer')[n || 0]; },
  rows(selector, n) {
    const list = T.viewer(n).querySelector(selector);
    return Array.from(list.querySelectorAll('.nv-row'))
      .sort((a, b) => a.dataset.index - b.dataset.index)
      .map((r) => (r.querySelector('.nv-label') || r).textContent);
  },
  tabs(n) { return Array.from(T.viewer(n).querySelectorAll('[role=tab]')).map((t) => t.textContent); },
  tab(name, n) { T.viewer(n).querySelector(`[role=tab][data-name=${name}]`).click(); },
  key(el, key) { el.dispatchEvent(new KeyboardEvent('keydown', { key, bubbles: true })); },
  type(text, n) {
    const input = T.viewer(n).querySelector('.nv-input');
    input.value = text;
    input.dispatchEvent(new Event('input', { bubbles: true }));
  },
  status(n) { return T.viewer(n).querySelector('.nv-status').textContent; },
  ready(n) { const v = T.viewer(n); return !!v && !!v.dataset.state; },
};
window.shown = [];
window.addEventListener('message', (e) => window.shown.push(String(e.data)));
true;
)JS";

class WebViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WebViewerPage::Start());
        m_page = std::make_unique<WebViewerPage>();
    }

    // Loads a page and waits until its first viewer has read its index (or given up).
    void Open(const std::string& path, int viewer = 0) {
        ASSERT_TRUE(m_page->Load(QString::fromStdString(path))) << path;
        ASSERT_TRUE(m_page->Eval(kHelpers).toBool());
        ASSERT_TRUE(m_page->WaitFor(QStringLiteral("T.ready(%1)").arg(viewer)))
            << "the viewer never finished reading its index";
    }

    // With WEBVIEWER_SNAPSHOTS set to a folder, saves the view there for a look.
    void Snapshot(const char* name) {
        if (const char* dir = std::getenv("WEBVIEWER_SNAPSHOTS")) {
            m_page->Grab(QString::fromUtf8(dir) + "/" + name + ".png");
        }
    }

    QStringList List(const QString& script) { return m_page->Eval(script).toStringList(); }
    QString Text(const QString& script) { return m_page->Eval(script).toString(); }

    ViewerSite m_site;
    std::unique_ptr<WebViewerPage> m_page;
};

// Every variant of the applet the generator writes is found and replaced, sorry text and all.
TEST_F(WebViewerTest, ShowsTheContentsTreeInOrderForEveryAppletVariant) {
    m_site.Write("site.xo", kSiteIndex);
    for (int version : {0, 1, 2}) {
        SCOPED_TRACE(version);
        Open(m_site.WritePage("v" + std::to_string(version) + ".html",
                              ViewerSite::Settings("site.xo", version)));
        EXPECT_EQ(List("T.rows('.nv-contents')"), QStringList({"Getting started", "Reference"}));
        EXPECT_EQ(Text("T.status()"), "Index read");
        EXPECT_EQ(m_page->Eval("document.querySelectorAll('.nv-viewer').length").toInt(), 1);
        EXPECT_EQ(Text("getComputedStyle(document.querySelector('applet')).display"), "none");
        EXPECT_EQ(List("T.tabs()"), QStringList({"Contents", "Index", "About"}));
        EXPECT_EQ(Text("T.viewer().getAttribute('style').match(/width: (\\d+)px/)[1]"), "400");
    }
    // Opening a book shows its pages below it, by keyboard as by mouse.
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'ArrowRight')");
    EXPECT_EQ(List("T.rows('.nv-contents')"),
              QStringList({"Getting started", "Introduction", "Guide", "Reference"}));
    EXPECT_EQ(Text("T.viewer().querySelector('[role=treeitem]').getAttribute('aria-expanded')"),
              "true");
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'ArrowDown')");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-tipline').textContent"), "Read this first");
    Snapshot("contents");
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'End')");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-selected .nv-label').textContent"), "Reference");
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'g')");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-selected .nv-label').textContent"),
              "Getting started");
}

// The keyword list narrows to the phrases that begin with what is typed, and Display page
// opens the chosen keyword's full URL in its base URL's frame.
TEST_F(WebViewerTest, LookForNarrowsKeywordsAndDisplayPageOpensTheFrame) {
    m_site.Write("site.xo", kSiteIndex);
    m_site.Write("docs/guide.htm", kTargetPage);
    m_site.Write("docs/intro.htm", kTargetPage);
    m_site.Write("blank.htm", "<html><body>start</body></html>");
    Open(m_site.WritePage("search.html", ViewerSite::Settings("site.xo")));
    // The frame the base URL names, beside the viewer.
    m_page->Eval("const f = document.createElement('iframe'); f.name = 'main';"
                 "f.src = 'blank.htm'; document.body.appendChild(f); true");
    m_page->Eval("T.tab('index')");
    EXPECT_EQ(
        List("T.rows('.nv-index [role=listbox]')"),
        QStringList({"Apple", "Guide", "Guide to setup", "Guided tour", "Introduction", "Zebra"}));
    m_page->Eval("T.type('gu')");
    EXPECT_EQ(List("T.rows('.nv-index [role=listbox]')"),
              QStringList({"Guide", "Guide to setup", "Guided tour"}));
    m_page->Eval("T.type('guided')");
    EXPECT_EQ(List("T.rows('.nv-index [role=listbox]')"), QStringList({"Guided tour"}));
    EXPECT_EQ(List("T.rows('.nv-index .nv-pane + .nv-pane [role=listbox]')"),
              QStringList({"Guide (tour)"}));
    Snapshot("index");
    m_page->Eval("T.viewer().querySelector('.nv-index button').click()");
    ASSERT_TRUE(m_page->WaitFor("window.shown.length > 0"));
    QString expected =
        QUrl::fromLocalFile(QString::fromStdString(m_site.Path("docs/guide.htm"))).toString() +
        "#tour";
    EXPECT_EQ(Text("window.shown[0]"), "main|" + expected);
    EXPECT_EQ(Text("T.status()"), "Displaying page");
    // Nothing matches: the lists are empty, the viewer keeps working.
    m_page->Eval("T.type('qqq')");
    EXPECT_TRUE(List("T.rows('.nv-index [role=listbox]')").isEmpty());
    // A click on an entry of the tree opens it in the same frame.
    m_page->Eval("T.tab('contents')");
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'ArrowRight')");
    m_page->Eval("T.viewer().querySelectorAll('[role=treeitem] .nv-label')[1].click()");
    ASSERT_TRUE(m_page->WaitFor("window.shown.length > 1"));
    EXPECT_TRUE(Text("window.shown[1]").endsWith("/docs/intro.htm"));
}

// Select lists every index of the page; choosing one reads it with its language file.
TEST_F(WebViewerTest, SelectSwitchesIndexAndLanguageTexts) {
    m_site.Write("site.xo", kSiteIndex);
    m_site.Write("autre.xo", "XO0;2;1;1\r\n1;Autre;x\r\n5;1;;a.htm;Accueil;;0;\r\n");
    m_site.Write("french.xol", kFrench);
    SearchPageSettings settings = ViewerSite::Settings("site.xo");
    IndexParameter french;
    french.indexFile = "autre.xo";
    french.languageFile = "/elsewhere/french.xol";
    french.languageCode = "fr";
    settings.indexParameters.push_back(french);
    Open(m_site.WritePage("search.html", settings));
    EXPECT_EQ(List("T.tabs()"), QStringList({"Contents", "Index", "Select", "About"}));
    m_page->Eval("T.tab('select')");
    EXPECT_EQ(List("T.rows('.nv-select')"),
              QStringList({"site.xo [en]", "autre.xo (french) [fr]"}));
    m_page->Eval("T.viewer().querySelectorAll('.nv-select .nv-row')[1].click()");
    ASSERT_TRUE(m_page->WaitFor("T.status() === 'Index lu'"));
    EXPECT_EQ(List("T.tabs()"), QStringList({"Sommaire", "Index", "Choisir", "A propos"}));
    EXPECT_EQ(List("T.rows('.nv-contents')"), QStringList({"Accueil"}));
    EXPECT_EQ(Text("T.viewer().lang"), "fr");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-index .nv-prompt').textContent"), "Chercher : ");
    m_page->Eval("T.tab('select')");
    Snapshot("select-french");
}

// Icon mode puts a button on the page; it opens the viewer's window, Exit closes it, and
// with "close" showing a page closes it too.
TEST_F(WebViewerTest, IconModeOpensItsWindow) {
    m_site.Write("site.xo", kSiteIndex);
    m_site.Write("ref.htm", "<html><body>ref</body></html>");
    SearchPageSettings settings = ViewerSite::Settings("site.xo");
    settings.iconMode = 1;
    settings.closeAfterDisplay = true;
    settings.minWindowWidth = 500;
    settings.minWindowHeight = 420;
    settings.target = "other";
    Open(m_site.WritePage("search.html", settings));
    EXPECT_TRUE(m_page->Eval("document.querySelector('.nv-window').hidden").toBool());
    m_page->Eval("document.querySelector('.nv-icon').click()");
    EXPECT_FALSE(m_page->Eval("document.querySelector('.nv-window').hidden").toBool());
    EXPECT_EQ(m_page->Eval("document.querySelector('.nv-window').offsetWidth").toInt(), 500);
    EXPECT_EQ(List("T.rows('.nv-contents')"), QStringList({"Getting started", "Reference"}));
    Snapshot("icon-window");
    m_page->Eval("document.querySelector('.nv-exit').click()");
    EXPECT_TRUE(m_page->Eval("document.querySelector('.nv-window').hidden").toBool());
    m_page->Eval("document.querySelector('.nv-icon').click()");
    m_page->Eval("T.viewer().querySelectorAll('[role=treeitem] .nv-label')[1].click()");
    EXPECT_TRUE(m_page->Eval("document.querySelector('.nv-window').hidden").toBool());

    // popup opens the window as soon as the page is shown.
    settings.popUp = true;
    Open(m_site.WritePage("popup.html", settings));
    EXPECT_FALSE(m_page->Eval("document.querySelector('.nv-window').hidden").toBool());
}

// Texts from an index or language file are text, never markup, and javascript: or data:
// URLs are shown but not followed.
TEST_F(WebViewerTest, MarkupAndScriptUrlsInAnIndexRunNothing) {
    const std::string img = "<img src=x onerror=\"window.pwned=1\">";
    m_site.Write("evil.xo",
                 "XO0;2;1;1\r\n1;" + img + ";d\r\n6;0;" + img +
                     "\r\n5;1;;javascript:window.pwned=2;" + img + ";;0;\r\n6;1;" + img + "\r\n7;" +
                     img +
                     ";&1;&1;\r\n5;2;;data:text/html,<b>x</b>;"
                     "Data page;;0;\r\n7;<b>bold</b>;JavaScript:window.pwned=3;Run;\r\n");
    m_site.Write("evil.xol", "2;1\r\n" + img + "\r\nLook\r\nKw\r\nPg\r\n" + img + "\r\n");
    SearchPageSettings settings = ViewerSite::Settings("evil.xo");
    settings.indexParameters[0].languageFile = "evil.xol";
    std::string page = m_site.WritePage("search.html", settings);
    Open(page);
    m_page->Pump(300);
    EXPECT_EQ(List("T.rows('.nv-contents')"),
              QStringList({QString::fromStdString(img), "Data page"}));
    EXPECT_EQ(List("T.tabs()")[0], QString::fromStdString(img));
    EXPECT_EQ(m_page->Eval("document.querySelectorAll('.nv-viewer img').length").toInt(), 0);
    m_page->Eval("T.viewer().querySelectorAll('[role=treeitem] .nv-label')[0].click()");
    m_page->Eval("T.viewer().querySelectorAll('[role=treeitem] .nv-label')[1].click()");
    m_page->Eval("T.tab('index'); T.type('<b>');");
    m_page->Eval("T.viewer().querySelector('.nv-index button').click()");
    m_page->Pump(300);
    EXPECT_TRUE(m_page->Eval("window.pwned === undefined").toBool());
    // The page stayed; only its fragment names what is shown.
    EXPECT_EQ(m_page->Url().section('#', 0, 0),
              QUrl::fromLocalFile(QString::fromStdString(page)).toString());
    EXPECT_EQ(Text("T.status()"), "Could not display page: JavaScript:window.pwned=3");
    EXPECT_EQ(List("T.rows('.nv-index [role=listbox]')"), QStringList({"<b>bold</b>"}));
    Snapshot("markup");
}

// A missing index leaves a message and a status text; a garbled one shows what it could.
TEST_F(WebViewerTest, UnreadableAndGarbledIndexesSayWhatHappened) {
    Open(m_site.WritePage("missing.html", ViewerSite::Settings("nothere.xo")));
    EXPECT_EQ(Text("T.status()"), "Sorry, cannot do lookup as index not read");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-message').textContent"),
              "The index file could not be read: nothere.xo");
    Snapshot("missing");
    m_page->Eval("T.tab('index'); T.type('a')");
    EXPECT_EQ(Text("T.status()"), "Sorry, cannot do lookup as index not read");

    m_site.Write("garbled.xo", std::string("XO0;2;1;1\r\n\x01\xff\xfe;;\r\n5;1;;a.htm;Kept;;0;\r\n"
                                           "5;2;9;b.htm;Bad base;;0;\r\n\x80\x81\r\n",
                                           69));
    Open(m_site.WritePage("garbled.html", ViewerSite::Settings("garbled.xo")));
    EXPECT_EQ(List("T.rows('.nv-contents')"), QStringList({"Kept"}));
    EXPECT_EQ(Text("T.status()"),
              QString::fromUtf8("Index read \u2013 3 lines of the index file could not be read "
                                "and were skipped"));

    m_site.Write("empty.xo", "");
    Open(m_site.WritePage("empty.html", ViewerSite::Settings("empty.xo")));
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-message').textContent"),
              "The index has no entries");
}

// The option words of an index parameter, the initial query and the page's colours.
TEST_F(WebViewerTest, OptionWordsInitialQueryAndColours) {
    m_site.Write("site.xo", kSiteIndex);
    SearchPageSettings settings = ViewerSite::Settings("site.xo");
    settings.indexParameters[0].indexSelectedInitially = true;
    settings.indexParameters[0].expanded = true;
    settings.indexParameters[0].sort = true;
    settings.indexParameters[0].initialQuery = "Z";
    settings.backgroundColour = "#102030";
    settings.selectColour = "blue";
    settings.font = "Courier bold 14pt";
    settings.squareButtons = true;
    Open(m_site.WritePage("search.html", settings));
    EXPECT_EQ(Text("T.viewer().querySelector('[aria-selected=true][role=tab]').dataset.name"),
              "index");
    EXPECT_EQ(List("T.rows('.nv-index [role=listbox]')"), QStringList({"Zebra"}));
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-input').value"), "Z");
    EXPECT_EQ(Text("getComputedStyle(T.viewer()).backgroundColor"), "rgb(16, 32, 48)");
    EXPECT_EQ(Text("getComputedStyle(T.viewer()).fontFamily"), "monospace");
    EXPECT_EQ(Text("getComputedStyle(T.viewer()).fontWeight"), "700");
    EXPECT_EQ(Text("getComputedStyle(T.viewer().querySelector('.nv-index .nv-selected'))"
                   ".backgroundColor"),
              "rgb(0, 0, 255)");
    EXPECT_TRUE(m_page->Eval("T.viewer().classList.contains('nv-square')").toBool());
    Snapshot("options");
    m_page->Eval("T.tab('contents')");
    EXPECT_EQ(List("T.rows('.nv-contents')"),
              QStringList({"Getting started", "Guide", "Introduction", "Reference"}));

    settings.indexParameters[0].noContents = true;
    settings.indexParameters[0].noIndex = true;
    Open(m_site.WritePage("bare.html", settings));
    EXPECT_EQ(List("T.tabs()"), QStringList({"About"}));
    EXPECT_TRUE(Text("T.viewer().querySelector('.nv-about').textContent").contains("Test site"));
}

} // namespace

namespace {

// A very deep index, shown all open: the tree has every row but puts only those in view
// into the page.
TEST_F(WebViewerTest, ADeepIndexShownExpandedPutsOnlyVisibleRowsInThePage) {
    std::string index = "XO0;2;1;1\r\n";
    for (int id = 1; id <= 20000; ++id) {
        index += "5;" + std::to_string(id) + ";;p.htm;Level " + std::to_string(id) + ";;" +
                 std::to_string(id - 1) + ";\r\n";
    }
    m_site.Write("deep.xo", index);
    SearchPageSettings settings = ViewerSite::Settings("deep.xo");
    settings.indexParameters[0].expanded = true;
    Open(m_site.WritePage("search.html", settings));
    EXPECT_EQ(Text("T.status()"), "Index read");
    EXPECT_EQ(m_page->Eval("NavoraWeb.viewers[0].tree.count").toInt(), 20000);
    EXPECT_LT(m_page->Eval("T.viewer().querySelectorAll('.nv-contents .nv-row').length").toInt(),
              100);
    m_page->Eval("T.key(T.viewer().querySelector('[role=tree]'), 'End')");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-selected .nv-label').textContent"),
              "Level 20000");
    EXPECT_EQ(Text("T.viewer().querySelector('.nv-selected').getAttribute('aria-level')"), "20000");
}

} // namespace

// A folder that mixes the viewer's parts of two versions, or lacks one, shows why in the page
// instead of a viewer that misreads itself; the applet's own text stays.
TEST_F(WebViewerTest, PartsOfAnotherVersionOrMissingAreRefusedWithAMessage) {
    m_site.Write("site.xo", kSiteIndex);
    std::string tree = TestFiles::Read(m_site.Path("navora-web-tree.js"));
    const std::string version = "'" TAMBLIN_VERSION "'";
    ASSERT_NE(tree.find(version), std::string::npos);
    tree.replace(tree.find(version), version.size(), "'0.9'");
    m_site.Write("navora-web-tree.js", tree);
    std::filesystem::remove(m_site.Path("navora-web-list.js"));
    ASSERT_TRUE(m_page->Load(
        QString::fromStdString(m_site.WritePage("mixed.html", ViewerSite::Settings("site.xo")))));
    ASSERT_TRUE(m_page->WaitFor("document.querySelector('.nv-refused')"));
    EXPECT_EQ(Text("document.querySelector('.nv-refused').textContent"),
              "The index cannot be shown: the viewer's files beside this page are not all of "
              "version " TAMBLIN_VERSION " (navora-web-tree.js is of version 0.9; "
              "navora-web-list.js is missing or cannot be read). Write the page again with "
              "Tamblin to replace them.");
    EXPECT_EQ(m_page->Eval("document.querySelectorAll('.nv-viewer').length").toInt(), 0);
}
