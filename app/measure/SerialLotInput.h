#pragma once

#include <QWidget>

class QLineEdit;

// The serial or lot field of the main window: what is typed there is stored with every part
// recorded from then on, until it is changed or cleared.
class SerialLotInput : public QWidget {
    Q_OBJECT

public:
    explicit SerialLotInput(QWidget *parent = nullptr);

    QString text() const;
    QLineEdit *field() const { return m_field; }

Q_SIGNALS:
    void serialChanged(const QString &text);

private:
    QLineEdit *m_field;
};
