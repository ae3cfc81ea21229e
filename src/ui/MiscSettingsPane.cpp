#include "ui/MiscSettingsPane.h"

#include "core/PreferenceController.h"
#include "ui_MiscSettingsPane.h"

MiscSettingsPane::MiscSettingsPane(PreferenceController &controller, QWidget *parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::MiscSettingsPane>())
    , m_controller(controller)
{
    m_ui->setupUi(this);
    m_ui->dateFormatPopup->addItems(PreferenceController::dateFormatMenu());
    m_ui->decFormatPopup->addItems(PreferenceController::decFormatMenu());
    m_ui->colorSchemePopup->addItems(PreferenceController::colorSchemeMenu());
    connect(m_ui->dateFormatPopup, &QComboBox::activated, &m_controller, &PreferenceController::changeDateFormatIndex);
    connect(m_ui->decFormatPopup, &QComboBox::activated, &m_controller, &PreferenceController::changeDecFormatIndex);
    connect(m_ui->colorSchemePopup, &QComboBox::activated, &m_controller,
            &PreferenceController::changeColorSchemeIndex);
    connect(&m_controller, &PreferenceController::stateChanged, this, &MiscSettingsPane::render);
    render();
}

MiscSettingsPane::~MiscSettingsPane() = default;

void MiscSettingsPane::render()
{
    m_ui->dateFormatPopup->setCurrentIndex(qBound(0, m_controller.selectedDateFormatIndex(), 2));
    m_ui->decFormatPopup->setCurrentIndex(qBound(0, m_controller.selectedDecFormatIndex(), 1));
    m_ui->colorSchemePopup->setCurrentIndex(
        qBound(0, m_controller.selectedColorSchemeIndex(), int(PreferenceController::colorSchemeMenu().size()) - 1));
}
