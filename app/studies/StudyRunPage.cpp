#include "StudyRunPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr double PromptScale = 2.0; // of the window's font

} // namespace

StudyRunPage::StudyRunPage(QWidget *parent)
    : QWidget(parent), m_prompt(new QLabel), m_progress(new QLabel), m_live(new QLabel),
      m_message(new QLabel), m_taken(new QListWidget),
      m_take(new QPushButton(QStringLiteral("Take Reading (F9)"))),
      m_redoLast(new QPushButton(QStringLiteral("Redo Last"))),
      m_redoChosen(new QPushButton(QStringLiteral("Redo Selected"))),
      m_cancelRedo(new QPushButton(QStringLiteral("Cancel Redo"))),
      m_report(new QPushButton(QStringLiteral("Report"))) {
    QFont large = m_prompt->font();
    large.setPointSizeF(large.pointSizeF() * PromptScale);
    large.setBold(true);
    m_prompt->setFont(large);
    m_prompt->setWordWrap(true);
    m_prompt->setAlignment(Qt::AlignCenter);
    m_prompt->setMinimumHeight(m_prompt->fontMetrics().height() * 3);
    m_progress->setAlignment(Qt::AlignCenter);
    m_live->setAlignment(Qt::AlignCenter);
    m_message->setWordWrap(true);
    m_take->setDefault(true);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_take, m_redoLast, m_cancelRedo})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(m_report);

    auto *takenColumn = new QVBoxLayout;
    takenColumn->addWidget(new QLabel(QStringLiteral("Readings taken:")));
    takenColumn->addWidget(m_taken, 1);
    takenColumn->addWidget(m_redoChosen);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_prompt, 0, 0);
    layout->addWidget(m_progress, 1, 0);
    layout->addWidget(m_live, 2, 0);
    layout->addLayout(buttons, 3, 0);
    layout->addWidget(m_message, 4, 0);
    layout->setRowStretch(5, 1);
    layout->addLayout(takenColumn, 0, 1, 6, 1);
    layout->setColumnStretch(0, 3);
    layout->setColumnStretch(1, 1);
}
