#include "store/supplier_listings.h"

#include "core/context.h"
#include "platform/report.h"
#include "store/suppliers.h"

#include <memory>

namespace gim {

void ListSuppliers(Context& ctx)
{
    State& st = ctx.st;
    const std::vector<SupplierEntry>& list = Suppliers(ctx).SupplierList;
    auto report =
        std::make_shared<ReportDocument>(QStringLiteral("PROVEEDORES TÉCNICOS DE ") + st.CurrentEnvironment);
    report->SetTabStops({5, 65, 250, 310, 370, 470, 500});
    report->SetFontSize(12);
    report->SetStyle(FontStyle::Bold);
    report->AddLine(QLatin1Char('\t') + st.FirmName + QStringLiteral("          PROVEEDORES TÉCNICOS \t") +
                    st.CurrentEnvironment + QLatin1Char('\t') + st.TodayText);
    report->SetStyle(FontStyle::Underline);
    report->AddLine(QStringLiteral("\tCodigo\t   Proveedor\tTlfono\tFax\tContacto\tMail"));
    report->AddLine(QStringLiteral("\r"));
    report->SetFontSize(8);
    report->SetStyle(FontStyle::Normal);
    for (const SupplierEntry& e : list) {
        const TSupplierRecord& r = e.rec;
        report->AddColumns({QString(), r.Codigo.str(), r.Empresa.str(), r.Tlf.str(), r.Fax.str(),
                            r.Contacto.str(), r.mail.str()});
    }
    report->AddLine(QStringLiteral("\r"));
    report->AddLine(QString(84, QLatin1Char('-')));
    report->AddLine(QStringLiteral("\tNUMERO DE PROVEEDORES : \t") + QString::number(list.size()));
    st.CurrentSubFolder = QStringLiteral("\\Proveedores");
    report->saveSubFolder = st.CurrentSubFolder;
    ctx.ui.ShowReport(report);
}

} // namespace gim
