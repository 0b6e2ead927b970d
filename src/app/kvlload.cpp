#include "app/kvlload.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

#include "app/asker.h"
#include "app/bidlib/bidlibrary.h"
#include "app/painticons.h"
#include "app/qtext.h"
#include "calc/systemfile.h"
#include "views/accessiblename.h"

namespace kestrel {

namespace {

constexpr int kNameRole = Qt::UserRole + 1; // the entry's name as the library holds it

// Proposals sort as the user reads them: without regard to case.
class ProposalItem : public QListWidgetItem {
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        const int order = text().compare(other.text(), Qt::CaseInsensitive);
        return order != 0 ? order < 0 : text() < other.text();
    }
};

std::string LocalPath(const QString& path)
{
    return path.toStdString();
}

// Whether anything (a file, a link, a folder) has that name already.
bool Exists(const QString& path)
{
    const Result<FileStatus> status = StatPath(LocalPath(path), LinkPolicy::Refuse);
    return status && status->kind != FileKind::Missing;
}

} // namespace

CKVLLoad::CKVLLoad(CAsker& asker, QWidget* parent) : QDialog(parent), m_asker(asker)
{
    setObjectName(QStringLiteral("kvlLoad"));
    setWindowTitle(tr("Select Contract"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->setSpacing(8);
    // What is asked, over the library's own description.
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(QSize(40, 40), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    m_heading = new QLabel(tr("Choose the proposal to open"), this);
    QFont bold = m_heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_heading->setFont(bold);
    texts->addWidget(m_heading);
    m_description = new QLabel(this);
    m_description->setWordWrap(true);
    texts->addWidget(m_description);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    m_caption = new QLabel(tr("&Proposals in the bid library:"), this);
    layout->addWidget(m_caption);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("proposals"));
    m_list->setSortingEnabled(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(QSize(20, 20));
    m_list->setSpacing(1);
    m_caption->setBuddy(m_list);
    SetAccessibleCaption(m_list, m_caption->text());
    layout->addWidget(m_list, 1);
    m_where = new QLabel(this);
    m_where->setWordWrap(true);
    m_where->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(m_where);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &CKVLLoad::OnOK);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { OnOK(); });
    resize(420, 360);
}

QString CKVLLoad::TargetPath(const QByteArray& entryName) const
{
    return QString::fromUtf8(QByteArray::fromStdString(BidLibraryDirectory(LocalPath(m_strLibrary))) +
                             entryName);
}

void CKVLLoad::OnInitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    setWindowTitle(m_strTitle);
    m_list->clear();
    const QFileInfo library(m_strLibrary);
    m_where->setText(tr("%1 in %2").arg(library.fileName(), library.absolutePath()));
    // A library that cannot be read lists nothing; the listing stops at the
    // first entry that cannot be read.
    std::unique_ptr<BidLibrary> lib = OpenBidLibrary(LocalPath(m_strLibrary));
    if (!lib) {
        m_description->setText(tr("The file is not a bid library that can be read."));
        return;
    }
    m_description->setText(lib->m_strDescription.empty() ? library.fileName()
                                                         : ToQString(lib->m_strDescription));
    const std::string patterns = FromQString(m_strPatterns);
    std::unique_ptr<BidLibraryEntry> entry;
    for (int i = 0; i < lib->m_iEntryCount; ++i) {
        entry = NextBidLibraryEntry(*lib, std::move(entry));
        if (!entry)
            break;
        if (!MatchEntryPatterns(entry->m_strName, patterns))
            continue;
        auto* item = new ProposalItem(ProposalIcon(), ToQString(entry->m_strName));
        item->setData(kNameRole, QByteArray::fromStdString(entry->m_strName));
        item->setToolTip(tr("%1 bytes").arg(QLocale().toString(qulonglong(entry->m_dwSize))));
        m_list->addItem(item);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

void CKVLLoad::showEvent(QShowEvent* event)
{
    OnInitDialog();
    QDialog::showEvent(event);
}

void CKVLLoad::OnOK()
{
    m_strResult.clear();
    const QListWidgetItem* item = m_list->currentItem();
    if (!item || !item->isSelected()) {
        // Confirmed with nothing chosen: nothing is opened.
        accept();
        return;
    }
    const QByteArray name = item->data(kNameRole).toByteArray();
    const QString target = TargetPath(name);
    if (Exists(target)) {
        const int answer = m_asker.Choose(
            this, windowTitle(),
            tr("%1 is already beside the bid library:\n%2\n\nIt may hold your work from an earlier "
               "session. Open that file, or replace it with the proposal from the library?")
                .arg(item->text(), target),
            {tr("&Open Existing"), tr("&Replace"), tr("Cancel")}, QMessageBox::Question);
        if (answer == 0) {
            m_strResult = target;
            accept();
            return;
        }
        if (answer != 1)
            return;
    }
    const int result = ExtractNamedEntry(LocalPath(m_strLibrary), name.toStdString());
    if (result != kBidLibraryOk) {
        // Nothing is confirmed: the path is not opened, and another entry
        // can be chosen.
        m_asker.Tell(this, tr("Error Extracting Proposal"), QString::fromLatin1(BidLibraryResultText(result)),
                     QMessageBox::Warning);
        return;
    }
    m_strResult = target;
    accept();
}

} // namespace kestrel
