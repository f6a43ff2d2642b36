#include "index/IndexRecordWriter.h"

#include "index/ScanMark.h"

namespace tamblin {

void IndexRecordWriter::End(bool closable) {
    bool scanned = m_style == Style::Scanned;
    if (closable && scanned) {
        m_out += ';';
    }
    m_out.EndRecord(scanned ? "\n" : "\r\n");
}

void IndexRecordWriter::Header(std::string_view creatorName, std::string_view creatorVersion) {
    m_out.append("XO0;2;1;1");
    if (!creatorName.empty()) {
        m_out.append(";").append(creatorName).append(" ").append(creatorVersion);
    }
    End(false);
}

void IndexRecordWriter::Description(std::string_view description, std::string_view date) {
    m_out.append("1;").append(description).append(";").append(date);
    End(false);
}

void IndexRecordWriter::Tip(std::string_view id, std::string_view text) {
    m_out.append("6;").append(id).append(";").append(text);
    End(false);
}

void IndexRecordWriter::BaseUrl(std::string_view id, std::string_view url,
                                std::string_view target) {
    m_out.append("3;").append(id).append(";").append(url).append(";").append(target);
    End(true);
}

long long IndexRecordWriter::Entry(std::string_view id, std::string_view baseId,
                                   std::string_view url, std::string_view title,
                                   std::string_view target, std::string_view parentId,
                                   std::string_view icon) {
    m_out.append("5;").append(id).append(";").append(baseId).append(";").append(url).append(";");
    long long titleAt = m_out.Position();
    m_out.append(title).append(";").append(target).append(";").append(parentId).append(";");
    m_out.append(icon);
    End(true);
    return titleAt;
}

void IndexRecordWriter::Keyword(Field phrase, Field anchor, Field extraTitle,
                                std::string_view target) {
    m_out.append("7;");
    Put(phrase);
    m_out += ';';
    Put(anchor);
    m_out += ';';
    Put(extraTitle);
    m_out += ';';
    m_out.append(target);
    End(true);
}

void IndexRecordWriter::ScanSource(std::string_view encoded) {
    m_out.append(kScanSourceRecord).append(encoded);
    End(false);
}

void IndexRecordWriter::ScanMark(std::string_view id, std::string_view encoded) {
    m_out.append(kScanMarkRecord).append(id).append(";").append(encoded);
    End(false);
}

} // namespace tamblin
