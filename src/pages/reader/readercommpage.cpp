#include "pages/reader/readercommpage.h"

#include "core/pagetable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

ReaderCommPage::ReaderCommPage(PageContext &context, QWidget *parent)
    : CommPage(kReaderCommPage, "&Output Characters", context.state.images, parent)
{
    const int index = Tabs()->addTab(BuildCardTab(), QStringLiteral("&Magnetic Reader"));
    Tabs()->setTabToolTip(index, QStringLiteral("Magnetic Reader Parameters"));
    LoadAll();
}

QWidget *ReaderCommPage::BuildCardTab()
{
    auto *frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("fraCfg4_3"));
    auto *grid = new QGridLayout(frame);

    auto *standard = new QHBoxLayout;
    auto *standardLabel = new QLabel(Text(Row("OptISO").caption), frame);
    standardLabel->setObjectName(QStringLiteral("Label1"));
    standard->addWidget(standardLabel);
    AddChoiceButtons("OptISO", frame, standard);
    standard->addStretch();
    grid->addLayout(standard, 0, 0, 1, 3);

    grid->addWidget(AddChoiceFrame("optCfg45A", "fraCfg45A", frame), 1, 0, 4, 1);

    QCheckBox *startStop = AddFlagBox("chkCfg45B", frame);
    startStop->setText(QStringLiteral("ON"));
    grid->addWidget(AddLabel("Label4", "chkCfg45B", startStop, frame), 1, 1);
    grid->addWidget(startStop, 1, 2);

    QCheckBox *account = AddFlagBox("chkCfg45C", frame);
    account->setText(QStringLiteral("ON"));
    QLabel *accountLabel = AddLabel("Label5", "chkCfg45C", account, frame);
    AddDependent("chkCfg45C", accountLabel);
    grid->addWidget(accountLabel, 2, 1);
    grid->addWidget(account, 2, 2);

    QComboBox *separator = AddCharacterBox("cbo45D", frame);
    QLabel *separatorLabel = AddLabel("Label6", "cbo45D", separator, frame);
    AddDependent("cbo45D", separatorLabel);
    grid->addWidget(separatorLabel, 3, 1);
    grid->addWidget(separator, 3, 2);

    grid->addWidget(AddDefaultButton("cmdDefault45", frame), 4, 2, Qt::AlignBottom);
    return frame;
}

// A label beside a check box or combo box carries the row's caption.
QLabel *ReaderCommPage::AddLabel(const char *name, const char *control, QWidget *buddy,
                                 QWidget *parent)
{
    auto *label = new QLabel(Text(Row(control).caption), parent);
    label->setObjectName(Text(name));
    label->setBuddy(buddy);
    return label;
}
