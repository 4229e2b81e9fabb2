#pragma once

#include "chart/stafffigures.h"

#include <QWidget>

// One staff figure drawn to fit the widget.
class CFigureView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFigureView)

public:
    explicit CFigureView(QWidget *parent = nullptr);

    void SetTable(const SFigureTable &table);
    const SFigureTable &Table() const { return m_table; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    SFigureTable m_table;
};
