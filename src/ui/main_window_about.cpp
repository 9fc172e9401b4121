// The About dialog: icon, name and version, what the program does, the usage
// notice, the credits and the versions it runs with.
#include "ui/main_window.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPalette>

namespace {

// The maker's site: the reserved ".example" name never resolves, so no link
// leads anywhere until the real address is written here.
const char* const kSite = "https://orvenna.example";
const char* const kLinkColour = "#2D7FF9";

// Rich text takes a link's colour from the application's palette when it is
// parsed, so the colour is also written on the link itself.
QString link(const QString& url, const QString& text)
{
    return QStringLiteral("<a href='%1' style='color: %2;'>%3</a>").arg(url, QLatin1String(kLinkColour), text);
}

QLabel* linkLabel(const QString& text, const char* style, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::RichText);
    label->setOpenExternalLinks(true);
    label->setStyleSheet(QString::fromLatin1(style));
    QPalette palette = label->palette();
    palette.setBrush(QPalette::Link, QColor(QLatin1String(kLinkColour)));  // every colour group
    label->setPalette(palette);
    return label;
}

} // namespace

void MainWindow::showAbout()
{
    QDialog dialog(this);
    dialog.setWindowTitle(tr("About Orvenna"));
    auto* root = new QVBoxLayout(&dialog);
    root->setContentsMargins(28, 24, 28, 16);
    root->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setSpacing(18);
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/orvenna.svg")).pixmap(72, 72));
    header->addWidget(icon, 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(2);
    auto* title = new QLabel(QStringLiteral("Orvenna %1").arg(QCoreApplication::applicationVersion()), &dialog);
    title->setStyleSheet(QStringLiteral("font-size: 19px; font-weight: bold;"));
    column->addWidget(title);
#ifdef Q_OS_WIN
    auto* subtitle = new QLabel(tr("Virtual camera for Windows"), &dialog);
#else
    auto* subtitle = new QLabel(tr("Virtual camera for Linux"), &dialog);
#endif
    subtitle->setStyleSheet(QStringLiteral("color: #777;"));
    column->addWidget(subtitle);
    column->addSpacing(4);
    auto* description = new QLabel(tr("Stream any video or image as a webcam in Zoom, Teams, Skype, Telegram "
                                      "and any app that uses a camera."),
                                   &dialog);
    description->setWordWrap(true);
    description->setStyleSheet(QStringLiteral("color: #555;"));
    column->addWidget(description);
    column->addStretch();
    header->addLayout(column, 1);
    root->addLayout(header, 0);

    root->addSpacing(14);
    const QString site = QLatin1String(kSite);
    const QString contact = link(site + QStringLiteral("/contact?subject=license"), QStringLiteral("orvenna.example/contact"));
    auto* notice = linkLabel(tr("Orvenna is free for personal use. For commercial use or redistribution, "
                                "please ask for a license at %1.")
                                 .arg(contact),
                             "font-size: 12px; color: #555;", &dialog);
    notice->setWordWrap(true);
    root->addWidget(notice);

    root->addSpacing(14);
    auto* separator = new QFrame(&dialog);
    separator->setFrameShape(QFrame::HLine);
    separator->setStyleSheet(QStringLiteral("color: #e0e0e0;"));
    root->addWidget(separator);

    root->addSpacing(12);
    auto* credits = linkLabel(QStringLiteral("&copy; 2026 <b>Orvenna</b> &middot; ") + link(site, QStringLiteral("orvenna.example")),
                              "font-size: 13px; color: #444;", &dialog);
    credits->setAlignment(Qt::AlignHCenter);
    root->addWidget(credits);

    root->addSpacing(6);
    // The Qt the program runs with, which may be newer than the one it was built with.
    auto* libraries = new QLabel(tr("Built with Qt %1 · softcam (MIT license)").arg(QLatin1String(qVersion())),
                                 &dialog);
    libraries->setAlignment(Qt::AlignHCenter);
    libraries->setStyleSheet(QStringLiteral("font-size: 10px; color: #aaa;"));
    root->addWidget(libraries);

    root->addSpacing(12);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    root->addWidget(buttons);

    dialog.setFixedWidth(460);
    dialog.exec();
}
