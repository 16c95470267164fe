#include "about/aboutbox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget *parent, SysInfoHost host) : QDialog(parent), m_host(std::move(host))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About This Software"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto *title = new QLabel(QStringLiteral("K30 Configuration Setup V3.45x01cFR"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont font = title->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    title->setFont(font);
    auto *subtitle = new QLabel(QStringLiteral("For Bar Code and Magnetic Card Decoder"), this);
    subtitle->setObjectName(QStringLiteral("Label3"));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(QStringLiteral("System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    connect(sysInfo, &QPushButton::clicked, this, &AboutBox::ShowSystemInfo);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    auto *texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(subtitle);
    texts->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
}

void AboutBox::ShowSystemInfo()
{
    if (StartSysInfo(m_host))
        return;
    QMessageBox::information(this, QString(),
                             QStringLiteral("System Information Is Unavailable At This Time"),
                             QMessageBox::Ok);
}
