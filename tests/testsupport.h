#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QDialog;

// A fresh database file with both tables, the one every record set opens by default.
class CTempDatabase final
{
public:
    CTempDatabase();
    ~CTempDatabase();
    QString Path() const { return m_path; }
    QString Folder() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Answers every modal dialog while it lives; records what each one said.
class CDialogAnswers final
{
public:
    explicit CDialogAnswers(std::function<int(QDialog &)> answer);
    ~CDialogAnswers();
    const QStringList &Texts() const { return *m_texts; }

private:
    std::shared_ptr<QStringList> m_texts;
};

// Keeps the program's settings in a folder of their own for the test's lifetime.
void IsolateSettings(const QString &folder);
