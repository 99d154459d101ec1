#include "operations/Receipt.h"

#include <QDir>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "reports/A7Rep.h"

QString ReceiptTemplateFileName()
{
    return ConfigData.ProgramPath + "Templates" + QDir::separator() + "ШаблонЧек.xlsx";
}

QString ParkingTitle(const TConfigData &AConfig)
{
    QString title = AConfig.ParkingName;
    const auto addLine = [&title](const QString &label, const QString &value) {
        if (!value.isEmpty())
            title += "\r\n" + label + value;
    };
    addLine("адрес: ", AConfig.ParkingAddress);
    addLine("тел.: ", AConfig.ParkingPhone);
    addLine("email: ", AConfig.ParkingEmail);
    addLine("web: ", AConfig.ParkingSite);
    return title;
}

namespace {

QString TarifName(int ATarifId)
{
    return ATarifId != 0 ? DModule->GetTarifById(ATarifId).Name : QString();
}

QString AutoGosnomer(int AAutoId)
{
    return AAutoId != 0 ? DModule->GetAutoById(AAutoId).Gosnomer : QString();
}

} // namespace

void ShowReceipt(const TPayment &APayment)
{
    TA7Rep report;
    // An error on the way closes the progress window and drops the workbook.
    const TA7RepGuard endRun(report);
    report.OpenTemplate(ReceiptTemplateFileName());
    report.PasteBand("Title");
    report.SetValue("#DATE_PRINT#", FormatDateTime("DD.MM.YYYY", Today()));
    report.SetValue("#ID#", APayment.Id);
    report.SetValue("#DT#", FormatDateTime("DD.MM.YYYY", APayment.PayTime));
    report.SetValue("#COUNT#", APayment.Count);
    report.SetValue("#SUMMA#", APayment.Summa);
    report.SetValue("#TARIF#", TarifName(APayment.Tarif.Id));
    report.SetValue("#AUTO#", AutoGosnomer(APayment.AutoId));
    report.SetValue("#TITLE#", ParkingTitle(ConfigData));
    report.Show();
}

bool PrintReceipt(const TPayment &APayment)
{
    return GuardedCall([&] { ShowReceipt(APayment); });
}
