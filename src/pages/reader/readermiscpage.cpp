#include "pages/reader/readermiscpage.h"

#include "core/pagetable.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

constexpr int kSentinels = 6;

} // namespace

ReaderMiscPage::ReaderMiscPage(PageContext &context, QWidget *parent)
    : MiscPage(kReaderMiscPage, context, parent)
{
    AddTab(Tabs(), BuildTracksEdit(), "Tracks &Edit",
           "Deleting and Inserting Edit For Output Characters");
    AddTab(Tabs(), BuildSentinels(), "Start and End &Char",
           "Defined User's Start and End Characters");
    LoadAll();
}

QWidget *ReaderMiscPage::BuildTracksEdit()
{
    auto *frame = new QGroupBox(QStringLiteral("Tracks Edit"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_1"));
    auto *layout = new QHBoxLayout(frame);
    AddKeyTextFrames(
        layout, frame, "Characters to be Inserted (Only Eight Characters Available)",
        "Characters to be Inserted (Only Eight Charaters Available)",
        {QStringLiteral("Track 1"), QStringLiteral("Track 2"), QStringLiteral("Track 3")});
    return frame;
}

QWidget *ReaderMiscPage::BuildSentinels()
{
    auto *frame = new QGroupBox(QStringLiteral("Edit Start and End Characters"), this);
    frame->setObjectName(QStringLiteral("fraCfg6_2"));
    auto *layout = new QFormLayout(frame);
    for (int i = 0; i < kSentinels; ++i) {
        const QByteArray control = ArrayElement("txtChar", i);
        QLineEdit *box = AddCharacterEdit(control, frame);
        layout->addRow(Text(Row(control).caption), box);
    }
    layout->addRow(AddDefaultButton("CmdDefault", frame, "Set All Default"));
    return frame;
}
