// Arbitrary bytes as an index file, then its keyword index as readers see it: every phrase is
// found again where the sort put it, and a rename and a removal undo to the same bytes. The
// bytes are also lowered as UTF-16 text, lone surrogates and all.
#include "contents/EditObserver.h"
#include "index/IndexFile.h"
#include "keywords/JsLowerCase.h"
#include "keywords/KeywordEditor.h"
#include "keywords/KeywordIndex.h"
#include "keywords/KeywordProblems.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct Quiet final : tamblin::EditObserver {
    void EntryRemoved(tamblin::IndexEntry&, tamblin::IndexEntry&) override {}
    void EntryInserted(tamblin::IndexEntry&, std::size_t, tamblin::IndexEntry&) override {}
    void ChildrenRearranged(tamblin::IndexEntry&) override {}
    void EntryChanged(tamblin::IndexEntry&) override {}
    void FileChanged() override {}
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    setenv("SOURCE_DATE_EPOCH", "1796515200", 1);
    std::u16string units(size / 2, u'\0');
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        units[i / 2] = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    (void)tamblin::JsToLowerCase(units);

    tamblin::IndexFile index;
    index.LoadBytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xo");
    tamblin::KeywordIndex keywords;
    keywords.Build(index);
    const auto& groups = keywords.Groups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        Check(keywords.Find(groups[i].phrase) == i);
        Check(groups[i].pages >= 1 && groups[i].pages <= groups[i].refs.size());
    }
    (void)tamblin::FindPhraseVariants(keywords);
    if (groups.empty() || !index.FindUnwritableField().empty()) {
        return 0;
    }
    const std::string before = index.WriteToString();
    Quiet quiet;
    tamblin::KeywordEditor editor(keywords);
    auto rename = editor.Rename(groups.back(), std::string(groups.front().bytes));
    auto remove = editor.Remove(groups.front());
    // Both were made from the same state: each is done and undone on its own.
    for (auto* step : {rename.get(), remove.get()}) {
        if (step) {
            step->Redo(quiet);
            step->Undo(quiet);
            Check(index.WriteToString() == before);
        }
    }
    return 0;
}
