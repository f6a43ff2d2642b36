#include "cli/KeywordsCli.h"

#include "contents/EditObserver.h"
#include "index/CompanionScript.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/JsonWriter.h"
#include "index/SaveResult.h"
#include "keywords/JsLowerCase.h"
#include "keywords/KeywordEditor.h"
#include "keywords/KeywordIndex.h"

#include <ostream>

namespace tamblin {

namespace {

struct Arguments {
    std::string path;
    std::string output;
    bool json = false;
    bool rename = false;
    bool remove = false;
    bool force = false;
    std::string phrase;
    std::string newPhrase;
};

// False on anything that is not one of the forms of the usage text.
bool Parse(const std::vector<std::string>& args, Arguments& a) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            a.json = true;
        } else if (arg == "--rename" && i + 2 < args.size()) {
            a.rename = true;
            a.phrase = args[++i];
            a.newPhrase = args[++i];
        } else if (arg == "--remove" && i + 1 < args.size()) {
            a.remove = true;
            a.phrase = args[++i];
        } else if (arg == "--force") {
            a.force = true;
        } else if ((arg == "-o" || arg == "--output") && i + 1 < args.size()) {
            a.output = args[++i];
        } else if (a.path.empty() && !arg.empty() && arg[0] != '-') {
            a.path = arg;
        } else {
            return false;
        }
    }
    bool editing = a.rename || a.remove;
    return !a.path.empty() && !(a.rename && a.remove) && editing == !a.output.empty() &&
           !(editing && a.json) && (editing || !a.force);
}

void PrintList(std::ostream& out, const KeywordIndex& keywords, bool json) {
    if (!json) {
        for (const KeywordGroup& group : keywords.Groups()) {
            out << group.pages << '\t' << Utf16ToUtf8String(group.phrase) << '\n';
        }
        return;
    }
    JsonWriter writer(out);
    writer.BeginObject();
    writer.Field("keywords", static_cast<long long>(keywords.KeywordCount()));
    writer.Key("phrases");
    writer.BeginArray();
    for (const KeywordGroup& group : keywords.Groups()) {
        writer.BeginObject();
        writer.Field("phrase", Utf16ToUtf8String(group.phrase));
        writer.Field("pages", static_cast<long long>(group.pages));
        writer.Field("keywords", static_cast<long long>(group.refs.size()));
        // Each keyword as the reader's page list shows it: its full title and URL.
        writer.Key("uses");
        writer.BeginArray();
        for (const KeywordRef& ref : group.refs) {
            const IndexKeyword& keyword = ref.owner->m_keywords[ref.position];
            writer.BeginArray();
            writer.String(Utf16ToUtf8String(keywords.Decode(keyword.FullTitle())));
            writer.String(Utf16ToUtf8String(keywords.Decode(keyword.FullUrl())));
            writer.EndArray();
        }
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    writer.Flush();
    out << '\n';
}

const char* PhraseProblem(KeywordEditor::PhraseCheck check) {
    switch (check) {
    case KeywordEditor::PhraseCheck::Empty:
        return "the new phrase is empty";
    case KeywordEditor::PhraseCheck::Unwritable:
        return "an index file cannot hold \";\" or a line break in a phrase";
    case KeywordEditor::PhraseCheck::NotEncodable:
        return "the index is Windows-1252, which lacks a character of the new phrase";
    case KeywordEditor::PhraseCheck::Ok:
        break;
    }
    return "";
}

} // namespace

int KeywordsCli::Usage(std::ostream& stream, int code) {
    stream << "Usage: tamblin-cli keywords FILE.xo [--json]\n"
              "       tamblin-cli keywords FILE.xo --rename OLD NEW -o OUT.xo [--force]\n"
              "       tamblin-cli keywords FILE.xo --remove PHRASE -o OUT.xo [--force]\n"
              "\n"
              "Lists the phrases of the keyword index as readers see them, sorted as the\n"
              "script viewer sorts them, each with the number of pages under it (tab\n"
              "separated, or as JSON). --rename gives every keyword of OLD the phrase NEW\n"
              "(merging the two when NEW exists); --remove takes PHRASE off every page. OLD\n"
              "and PHRASE are matched exactly against the phrase as the reader shows it.\n"
              "OUT is saved as every save is, its companion script beside it rewritten when\n"
              "there is one; a read-only OUT is replaced only with --force.\n"
              "\n"
              "Exit status: 0 done, 1 no such phrase, 2 the file could not be read or\n"
              "written, 64 wrong usage.\n";
    return code;
}

int KeywordsCli::Run(const std::vector<std::string>& args) {
    Arguments a;
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        return Usage(m_out, kDone);
    }
    if (!Parse(args, a)) {
        return Usage(m_err, kUsage);
    }
    IndexFile index;
    if (LoadResult loaded = index.LoadIndex(a.path); loaded != LoadResult::Opened) {
        m_err << "tamblin-cli keywords: " << a.path
              << (loaded == LoadResult::NotAnIndex ? " is not an index file\n"
                                                   : ": cannot open it\n");
        return kCannotOpen;
    }
    KeywordIndex keywords;
    keywords.Build(index);
    if (!a.rename && !a.remove) {
        PrintList(m_out, keywords, a.json);
        return kDone;
    }
    std::size_t at = keywords.Find(Utf8ToUtf16String(a.phrase));
    if (at == keywords.Groups().size()) {
        m_err << "tamblin-cli keywords: no phrase \"" << a.phrase << "\" in " << a.path << "\n";
        return kNoSuchPhrase;
    }
    const KeywordGroup& group = keywords.Groups()[at];
    KeywordEditor editor(keywords);
    std::unique_ptr<KeywordListsStep> step;
    if (a.rename) {
        std::string bytes;
        auto check = editor.CheckPhrase(Utf8ToUtf16String(a.newPhrase), bytes);
        if (check != KeywordEditor::PhraseCheck::Ok) {
            m_err << "tamblin-cli keywords: " << PhraseProblem(check) << "\n";
            return kUsage;
        }
        step = editor.Rename(group, bytes);
    } else {
        step = editor.Remove(group);
    }
    if (step) {
        struct : EditObserver {
            void EntryRemoved(IndexEntry&, IndexEntry&) override {}
            void EntryInserted(IndexEntry&, std::size_t, IndexEntry&) override {}
            void ChildrenRearranged(IndexEntry&) override {}
            void EntryChanged(IndexEntry&) override {}
            void FileChanged() override {}
        } quiet;
        step->Redo(quiet);
    }
    if (!index.Save(a.output, {.replaceReadOnly = a.force})) {
        bool readOnly = index.LastSave().status == SaveStatus::ReadOnly;
        m_err << (readOnly ? CouldNotSaveText(a.output, index.LastSave()) + "; --force replaces it"
                           : index.SaveError())
              << "\n";
        return kCannotOpen;
    }
    if (index.CompanionStale()) {
        m_err << "Warning: " << a.output << " was written, but not its companion script "
              << CompanionPath(a.output)
              << ": a search page opened from disk shows the old index\n";
    }
    m_out << (a.rename ? "Renamed " : "Removed ") << group.refs.size()
          << (group.refs.size() == 1 ? " keyword" : " keywords") << " on " << group.pages
          << (group.pages == 1 ? " page" : " pages") << "\n";
    return kDone;
}

} // namespace tamblin
