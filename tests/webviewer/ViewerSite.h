#pragma once

#include "TestFiles.h"
#include "searchpage/SearchPageSettings.h"

#include <string>

// A folder with index files, language files, the script viewer's files and search pages
// written by the real generator, as a published site would hold them.
class ViewerSite {
public:
    ViewerSite();

    std::string Write(const std::string& name, const std::string& bytes) const;
    // Writes the search page for `settings` under `name`, with the viewer's script line;
    // returns its path.
    std::string WritePage(const std::string& name, tamblin::SearchPageSettings settings) const;
    std::string Path(const std::string& name) const { return m_files.Path(name); }
    // Settings for one index file of this folder, with the generator's defaults otherwise.
    static tamblin::SearchPageSettings Settings(const std::string& indexName,
                                                int appletVersion = 0);

private:
    TestFiles m_files;
};
