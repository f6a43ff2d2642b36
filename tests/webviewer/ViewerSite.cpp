#include "ViewerSite.h"

#include "searchpage/SearchPageText.h"

#include <filesystem>

namespace {

// The script line the generator adds after the applet; added here when this generator
// does not write it yet, so the tests hold the viewer to the page either way.
std::string WithScriptLine(std::string page) {
    if (page.find("navora-web.js") != std::string::npos) {
        return page;
    }
    const std::string close = "</APPLET>\r\n";
    size_t at = page.find(close);
    if (at != std::string::npos) {
        page.insert(at + close.size(), "<SCRIPT SRC=\"navora-web.js\"></SCRIPT>\r\n");
    }
    return page;
}

} // namespace

ViewerSite::ViewerSite() {
    // The viewer's files as the build lays them out in bin/Redist, which the generator copies.
    for (const auto& file : std::filesystem::directory_iterator(TAMBLIN_REDIST_DIR)) {
        std::string name = file.path().filename().string();
        if (name.rfind("navora-web", 0) == 0) {
            std::filesystem::copy_file(file.path(), Path(name));
        }
    }
}

std::string ViewerSite::Write(const std::string& name, const std::string& bytes) const {
    return m_files.Write(name, bytes);
}

std::string ViewerSite::WritePage(const std::string& name,
                                  tamblin::SearchPageSettings settings) const {
    settings.pagePath = Path(name);
    return Write(name, WithScriptLine(tamblin::SearchPageText(settings)));
}

tamblin::SearchPageSettings ViewerSite::Settings(const std::string& indexName, int appletVersion) {
    tamblin::SearchPageSettings settings;
    tamblin::IndexParameter index;
    index.indexFile = "/somewhere/else/" + indexName;
    settings.indexParameters.push_back(index);
    settings.appletVersion = appletVersion;
    return settings;
}
