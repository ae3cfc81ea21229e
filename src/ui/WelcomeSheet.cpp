#include "ui/WelcomeSheet.h"

#include "core/TBXFirstRunSetup.h"
#include "ui_WelcomeSheet.h"

#include <QStyle>

WelcomeSheet::WelcomeSheet(TBXFirstRunSetup *setup, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::WelcomeSheet>())
    , m_setup(setup)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::WindowModal);
    connect(m_ui->mainButton, &QPushButton::clicked, m_setup, &TBXFirstRunSetup::nextOrFinishButtonAction);
    connect(m_ui->dontImportButton, &QPushButton::clicked, m_setup, &TBXFirstRunSetup::dontImportButtonAction);
    connect(m_ui->importButton, &QPushButton::clicked, m_setup, &TBXFirstRunSetup::importButtonAction);
    connect(m_setup, &TBXFirstRunSetup::pageChanged, this, &WelcomeSheet::render);
    connect(m_setup, &TBXFirstRunSetup::sheetEnded, this, [this] {
        QDialog::done(QDialog::Accepted);
        hide();
    });
}

WelcomeSheet::~WelcomeSheet() = default;

void WelcomeSheet::open()
{
    m_setup->sheetDidLoad();
    render();
    QDialog::open();
}

void WelcomeSheet::reject()
{
    // Escape ends the sheet like declining: the launch goes on either way.
    if (!m_setup->hasEnded())
        m_setup->dontImportButtonAction();
}

void WelcomeSheet::render()
{
    const bool importPage = m_setup->currentPage() == TBXFirstRunSetup::ImportPage;
    m_ui->pages->setCurrentIndex(importPage ? 1 : 0);
    m_ui->importPathText->setText(m_setup->importPathTextString());
    m_ui->mainButton->setVisible(!importPage);
    m_ui->mainButton->setText(m_setup->mainButtonTitle());
    if (m_setup->mainButtonHasArrow()) {
        m_ui->mainButton->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
        m_ui->mainButton->setLayoutDirection(Qt::RightToLeft); // the arrow to the right of the title
    } else {
        m_ui->mainButton->setIcon(QIcon());
        m_ui->mainButton->setLayoutDirection(Qt::LeftToRight);
    }
}
