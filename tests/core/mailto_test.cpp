#include "core/mailto.h"

#include <gtest/gtest.h>

#include <string>

namespace gim {
namespace {

TEST(MailtoLinkTest, SubjectAndBodyLinesJoinedByCrLf)
{
    struct Case
    {
        const char* address;
        const char* subject;
        const char* body;
        const char* link;
    };
    const Case cases[] = {
        {"ana@planta.es", "Asunto", "", "mailto:ana@planta.es?Subject=Asunto&Body="},
        {"ana@planta.es", "Asunto", "Hola", "mailto:ana@planta.es?Subject=Asunto&Body=Hola"},
        {"ana@planta.es", "Asunto", "uno\ndos\ntres",
         "mailto:ana@planta.es?Subject=Asunto&Body=uno%0D%0Ados%0D%0Atres"},
        {"ana@planta.es", "Asunto", "uno\r\ndos\rtres",
         "mailto:ana@planta.es?Subject=Asunto&Body=uno%0D%0Ados%0D%0Atres"},
        {"ana@planta.es", "Asunto", "uno\n\ndos",
         "mailto:ana@planta.es?Subject=Asunto&Body=uno%0D%0A%0D%0Ados"},
        {"ana@planta.es", "", "x", "mailto:ana@planta.es?Subject=&Body=x"},
        // A pasted report ends with a line break: it ends the last line, it adds none.
        {"ana@planta.es", "Asunto", "uno\r\ndos\r\n",
         "mailto:ana@planta.es?Subject=Asunto&Body=uno%0D%0Ados"},
        {"ana@planta.es", "Asunto", "uno\n\n", "mailto:ana@planta.es?Subject=Asunto&Body=uno%0D%0A"},
        {"ana@planta.es", "Asunto", "\n", "mailto:ana@planta.es?Subject=Asunto&Body="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(
            MailtoLink(QString::fromUtf8(c.address), QString::fromUtf8(c.subject), QString::fromUtf8(c.body))
                .toStdString(),
            c.link);
    }
}

// Characters that mean something in a link, and accented letters, arrive as typed.
TEST(MailtoLinkTest, EveryTextIsPercentEncodedAsUtf8)
{
    EXPECT_EQ(MailtoLink(QStringLiteral("jefe@planta.es"), QStringLiteral("Tom & Jerry #1?"),
                         QStringLiteral("Avería: 50% + 2 = ñ\n\tTAB"))
                  .toStdString(),
              "mailto:jefe@planta.es?Subject=Tom%20%26%20Jerry%20%231%3F"
              "&Body=Aver%C3%ADa%3A%2050%25%20%2B%202%20%3D%20%C3%B1%0D%0A%09TAB");
    EXPECT_EQ(MailtoLink(QStringLiteral("Mantenimiento"), QStringLiteral("Ordenes de trabajo €"), QString())
                  .toStdString(),
              "mailto:Mantenimiento?Subject=Ordenes%20de%20trabajo%20%E2%82%AC&Body=");
}

TEST(MailtoLinkTest, AddressKeepsAtAndCommaOnly)
{
    EXPECT_EQ(MailtoLink(QStringLiteral(" a@b.es,c@d.es "), QStringLiteral("S"), QString()).toStdString(),
              "mailto:a@b.es,c@d.es?Subject=S&Body=");
    EXPECT_EQ(MailtoLink(QStringLiteral("x&y?z=1#w@b.es"), QStringLiteral("S"), QString()).toStdString(),
              "mailto:x%26y%3Fz%3D1%23w@b.es?Subject=S&Body=");
    EXPECT_EQ(MailtoLink(QStringLiteral("josé+obra@b.es"), QStringLiteral("S"), QString()).toStdString(),
              "mailto:jos%C3%A9%2Bobra@b.es?Subject=S&Body=");
}

} // namespace
} // namespace gim
