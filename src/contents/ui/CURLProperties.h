#pragma once

#include "contents/ui/CPropertyPage.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tamblin {

class BaseUrl;
class CXoDoc;
class IndexEntry;
class IndexFile;

// The General page of the URL Properties sheet: copies of an entry's fields, written back
// by the sheet only after OK.
class CURLProperties final : public CPropertyPage {
    Q_OBJECT

public:
    CURLProperties(const CXoDoc& document, IndexEntry& entry, bool newEntry,
                   QWidget* parent = nullptr);

    bool OnKillActive() override;

    QString Title() const;
    QString Url() const;
    QString TargetFrame() const;
    QString FullUrl() const;
    bool OwnTarget() const { return m_ownTarget; }
    QString BaseTarget() const;
    BaseUrl* ChosenBase() const { return m_baseUrl; }

    // Writes the copies back when anything differs; true when it did.
    bool ApplyTo(IndexEntry& entry, bool keywordsModified) const;

    // The directory Browse starts in: the index file's directory, then a relative base URL.
    QString BrowseStartDirectory() const;
    void OnBrowse();

private:
    void BuildControls();
    void FillControls();
    void FillBaseList();
    void OnBaseChosen(int row);
    void OnTargetEdited();
    void ComputeFullUrl();
    std::string Bytes(const QString& text, const std::string& original) const;

    const CXoDoc& m_document;
    IndexFile& m_index;
    IndexEntry& m_entry;
    bool m_newEntry;
    BaseUrl* m_baseUrl;
    std::string m_baseTarget;
    bool m_ownTarget;

    QLineEdit* m_title;
    QCheckBox* m_inContents;
    QComboBox* m_baseList;
    QLineEdit* m_url;
    QPushButton* m_browse;
    QLabel* m_fullUrl;
    QLineEdit* m_target;
    QLineEdit* m_iconUrl;
    QLineEdit* m_pageTip;
};

} // namespace tamblin
