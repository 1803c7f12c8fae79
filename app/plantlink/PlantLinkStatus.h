#pragma once

#include "LinkStatusLine.h"

#include <QWidget>

class QLabel;

// The plant link in the status bar: a coloured mark and "Plant link: connected, 3 parts to
// send"; the tool tip holds the link's last outcome in full.
class PlantLinkStatus : public QWidget {
    Q_OBJECT
public:
    explicit PlantLinkStatus(QWidget *parent = nullptr);

    void showLine(const plantlink::LinkStatusLine &line);
    QString text() const;

private:
    QLabel *m_mark;
    QLabel *m_text;
};
