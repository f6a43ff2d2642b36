#include "helpviewer/PopupRenderer.h"

#include "helpviewer/HelpFileRead.h"
#include "helpviewer/PopupText.h"
#include "index/TextUtils.h"
#include "scanner/MemoryInput.h"
#include "scanner/TagReader.h"

#include <algorithm>
#include <cstring>

namespace tamblin {

namespace {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return AsciiLower(a) == AsciiLower(b);
}

CharFormat FaceFormat(const std::string& face) {
    CharFormat format;
    format.mask = kMaskFace;
    format.face = face;
    return format;
}

} // namespace

PopupRenderer::PopupRenderer(const TopicMap& map, PopupTopics& topics, TextDefaults& defaults,
                             const std::vector<std::string>& installedFacesLower)
    : m_map(map), m_topics(topics), m_defaults(defaults), m_faces(installedFacesLower) {}

int PopupRenderer::OnTag(const std::string& tagName) {
    std::string name = AsciiLower(tagName);
    if (m_mode < 0) {
        m_mode = 0;
    }
    if (name == "body") {
        m_mode = -2;
        m_inBody = true;
        return 2;
    }
    if (!m_inBody) {
        return 0;
    }
    if (name == "/body") {
        m_inBody = false;
        return 0;
    }
    if (name == "basefont") {
        m_mode = -3;
        return 1;
    }
    if (name == "a") {
        m_mode = 1;
        return 1;
    }
    if (m_mode == 1) {
        if (name == "/a") {
            m_mode = -1;
        }
        return 2;
    }
    if (!m_topic) {
        return 0;
    }
    return OnBodyTag(name);
}

CharFormat PopupRenderer::Effect(unsigned bit, bool on) const {
    CharFormat format;
    format.mask = bit;
    format.effects = on ? bit : 0;
    return format;
}

int PopupRenderer::OnBodyTag(const std::string& name) {
    static constexpr struct {
        const char* tag;
        unsigned bit;
    } kEffects[] = {
        {"b", kMaskBold}, {"i", kMaskItalic}, {"u", kMaskUnderline}, {"s", kMaskStrikeOut}};
    for (const auto& effect : kEffects) {
        if (name == effect.tag) {
            AppendFormat(Effect(effect.bit, true));
            return 2;
        }
        if (name.size() == 2 && name[0] == '/' && name.substr(1) == effect.tag) {
            AppendFormat(Effect(effect.bit, false));
            return 2;
        }
    }
    if (name == "p") {
        AppendText("\n\n");
    } else if (name == "hr") {
        EndTopic();
    } else if (name == "br" || name == "ul" || name == "ol" || name == "li" || name == "/ul" ||
               name == "/ol" || name == "/tr") {
        AppendText("\n");
    } else if (name == "th") {
        AppendFormat(Effect(kMaskBold, true));
    } else if (name == "/th") {
        AppendFormat(Effect(kMaskBold, false));
        AppendText("\t");
    } else if (name == "/td") {
        AppendText("\t");
    } else if (name == "font") {
        m_mode = -4;
        m_pendingFace.clear();
        m_pendingSize = 0;
        m_pendingColor = -1;
    } else if (name == "code") {
        AppendFormat(FaceFormat("Courier New"));
    } else if (name == "/font") {
        CharFormat format = FaceFormat(m_defaults.face);
        format.mask |= kMaskSize | kMaskColor;
        format.heightTwips = FontSizeToTwips(m_defaults.baseFontSize);
        format.color = m_defaults.textColor;
        AppendFormat(format);
    } else if (name == "/code") {
        AppendFormat(FaceFormat(m_defaults.face));
    } else {
        OnHeadingTag(name);
    }
    return 2;
}

bool PopupRenderer::OnHeadingTag(const std::string& name) {
    if (name.size() >= 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
        AppendText("\n");
        CharFormat format = Effect(kMaskBold, true);
        format.mask |= kMaskSize;
        format.heightTwips = FontSizeToTwips(8 - (name[1] - '0'));
        AppendFormat(format);
        return true;
    }
    if (name.size() >= 3 && name[0] == '/' && name[1] == 'h' && name[2] >= '1' && name[2] <= '6') {
        CharFormat format = Effect(kMaskBold, false);
        format.mask |= kMaskSize;
        format.heightTwips = FontSizeToTwips(m_defaults.baseFontSize);
        AppendFormat(format);
        AppendText("\n\n");
        return true;
    }
    return false;
}

void PopupRenderer::OnTagEnd() {
    if (m_mode != -4) {
        return;
    }
    CharFormat format;
    if (!m_pendingFace.empty()) {
        format.mask |= kMaskFace;
        format.face = m_pendingFace;
    }
    if (m_pendingSize != 0) {
        format.mask |= kMaskSize;
        format.heightTwips = FontSizeToTwips(m_pendingSize);
    }
    if (m_pendingColor >= 0) {
        format.mask |= kMaskColor;
        format.color = static_cast<uint32_t>(m_pendingColor);
    }
    AppendFormat(format);
}

void PopupRenderer::OnAttribute(const std::string& attributeName, const std::string& rawValue) {
    std::string value(TrimSpaces(rawValue));
    if (value.empty() || !m_inBody) {
        return;
    }
    std::string name = AsciiLower(attributeName);
    if (m_mode == 1) {
        if (name == "name") {
            StartTopic(value);
        }
    } else if (m_mode == -2) {
        if (name == "bgcolor") {
            m_defaults.background = ParseHtmlColor(value).value_or(m_defaults.background);
        } else if (name == "text") {
            m_defaults.textColor = ParseHtmlColor(value).value_or(m_defaults.textColor);
        }
    } else if (m_mode == -3) {
        if (name == "face") {
            m_defaults.face = ParseFaceList(value, m_faces).value_or(m_defaults.face);
        } else if (name == "size") {
            m_defaults.baseFontSize = ParseSizeText(value).value_or(m_defaults.baseFontSize);
        }
    } else if (m_mode == -4) {
        if (name == "face") {
            m_pendingFace = ParseFaceList(value, m_faces).value_or(m_pendingFace);
        } else if (name == "color") {
            if (auto color = ParseHtmlColor(value)) {
                m_pendingColor = *color;
            }
        } else if (name == "size") {
            m_pendingSize = ParseSizeText(value).value_or(m_pendingSize);
        }
    }
}

void PopupRenderer::OnCollectedText(const std::string& text) {
    if (m_inBody && !text.empty()) {
        AppendText(text);
        if (m_mode == -1) {
            m_mode = 0;
        }
    }
}

void PopupRenderer::OnText(const std::string& text) {
    if (m_topic && m_inBody && !text.empty()) {
        AppendText(text);
    }
}

void PopupRenderer::StartTopic(const std::string& name) {
    if (!m_topic) {
        m_topic.emplace();
        m_topic->isDefault = EqualsNoCase(name, "Default");
        if (!m_topic->isDefault) {
            m_topic->id = m_map.IdFor(name);
        }
        return;
    }
    if (!m_topic->hasSecond) {
        m_topic->hasSecond = true;
        m_topic->secondId = m_map.IdFor(name);
    }
}

void PopupRenderer::EndTopic() {
    if (!m_topic) {
        return;
    }
    if (m_topic->isDefault) {
        m_topics.defaultContent = m_topic->runs;
    } else if (m_topic->id) {
        m_topics.topics[*m_topic->id] = m_topic->runs;
    }
    if (m_topic->secondId) {
        m_topics.topics[*m_topic->secondId] = std::move(m_topic->secondRuns);
    }
    m_topic.reset();
}

void PopupRenderer::Finish() {
    EndTopic();
}

void PopupRenderer::AppendText(std::string text) {
    if (!m_topic) {
        return;
    }
    if (m_endedWithSpace && text[0] == ' ') {
        text.erase(0, 1);
        if (text.empty()) {
            return;
        }
    }
    m_endedWithSpace = text.back() == ' ' || text.back() == '\n';
    // Every pair of spaces becomes one until none is left: a run of spaces folds to one.
    std::string folded;
    for (char c : text) {
        if (!(c == ' ' && !folded.empty() && folded.back() == ' ')) {
            folded.push_back(c);
        }
    }
    text = std::move(folded);
    TextRun run;
    run.text = DecodePopupText(text);
    if (m_topic->hasSecond) {
        m_topic->secondRuns.push_back(run);
    }
    m_topic->runs.push_back(std::move(run));
}

void PopupRenderer::AppendFormat(const CharFormat& format) {
    if (!m_topic) {
        return;
    }
    TextRun run;
    run.kind = TextRun::kFormat;
    run.format = format;
    if (m_topic->hasSecond) {
        m_topic->secondRuns.push_back(run);
    }
    m_topic->runs.push_back(std::move(run));
}

bool LoadPopupsPage(const std::string& path, const TopicMap& map, PopupTopics& topics,
                    TextDefaults& defaults, const std::vector<std::string>& installedFacesLower) {
    std::string bytes;
    if (ReadHelpFile(path, bytes) != HelpFileStatus::kRead) {
        return false;
    }
    MemoryInput input{std::string(bytes)};
    PopupRenderer renderer(map, topics, defaults, installedFacesLower);
    TagReader reader(&input, renderer, nullptr, nullptr);
    reader.Run();
    renderer.Finish();
    return true;
}

} // namespace tamblin
