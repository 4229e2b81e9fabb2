#pragma once

#include "document/cardfield.h"

#include <QList>
#include <QString>

class QIODevice;

// The company document. The company data lives in the database; the document
// carries the layout of the printed business card, kept in a small binary file.
class CMorvekDoc final
{
public:
    enum class EOpenResult { ok, notFound, unreadable, badFormat };
    static constexpr int kHeadSize = 16;
    static constexpr qint32 kLayoutVersion = 1;
    // Bounds that keep every sum and product the printing makes of a layout far inside 32 bits.
    static constexpr qint32 kMaxCellSize = 10000;
    static constexpr qint32 kMaxFields = 256;

    CMorvekDoc();

    void Store(QIODevice &file) const;
    // Reads a layout; on any failure the document keeps what it had and pProblem
    // says in Japanese what was wrong.
    EOpenResult Load(QIODevice &file, QString *pProblem = nullptr);
    EOpenResult OnOpenDocument(const QString &path, QString *pProblem = nullptr);
    // Writes the layout whole or not at all; false with the reason in pProblem.
    bool OnSaveDocument(const QString &path, QString *pProblem = nullptr) const;
    // What is wrong with a layout, or empty when it is fit to print.
    static QString CheckLayout(qint32 version, qint32 cellWidth, qint32 cellHeight, const QList<CCardField> &fields);
    void SetPathName(const QString &pathName) { m_strPathName = pathName; }

    // Every company window carries the same title, whatever file it shows.
    void SetTitle(const QString &title);
    const QString &GetTitle() const { return m_strTitle; }
    const QString &GetPathName() const { return m_strPathName; }
    bool IsModified() const { return m_bModified; }
    void SetModifiedFlag(bool bModified = true) { m_bModified = bModified; }

    qint32 m_nLayoutVersion = 1;
    qint32 m_nCellWidth = 900;
    qint32 m_nCellHeight = 550;
    // Printing walks it from the front.
    QList<CCardField> m_fields;

private:
    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
};
