#pragma once

#include <QTranslator>

// The framework's Japanese translation lacks a few texts of the print dialog (the
// page ranges and two-sided printing): they are given here, asked before it.
class CQtTextPatch final : public QTranslator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CQtTextPatch)

public:
    explicit CQtTextPatch(QObject *parent = nullptr);

    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};
