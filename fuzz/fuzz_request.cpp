// The request composer with arbitrary field texts. Properties: the request is always well-formed
// XML, has one element of each kind, and every field reads back unchanged.
#include "FuzzSupport.h"
#include "platform/XmlDocument.h"
#include "request/RequestDocument.h"

using namespace zorva;

namespace {

// XML 1.0 can only carry these characters; a field with any other cannot be sent as typed (the
// composer leaves such characters out), so the read-back is checked for fields made of them alone.
bool xmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

bool representable(const QString& s)
{
    for (char32_t c : s.toUcs4())
        if (!xmlChar(c)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto p = fuzz::pieces(data, size, 8);
    request::RequestFields f;
    QString* fields[] = {&f.userId, &f.jisubrux, &f.ico, &f.rc, &f.type, &f.variant, &f.year, &f.acreage};
    bool allRepresentable = true;
    for (int i = 0; i < 8; ++i) {
        *fields[i] = QString::fromUtf8(p[size_t(i)]);
        allRepresentable = allRepresentable && representable(*fields[i]);
    }
    const QDateTime stamp(QDate(2006, 3, 3), QTime(9, 5, 7));
    const QString text = request::composeRequest(f, stamp);
    xml::Document doc;
    ZORVA_FUZZ_CHECK(doc.loadXml(text.toUtf8()), text);
    if (!allRepresentable) return 0;
    auto one = [&](const char* pattern) {
        const auto list = doc.selectList(QString::fromLatin1(pattern));
        ZORVA_FUZZ_CHECK(list.size() == 1, QString::fromLatin1(pattern) + QLatin1Char('\n') + text);
        return list.front();
    };
    const auto uid = one("//kLIM:UIDkey").attribute(QStringLiteral("userID"));
    ZORVA_FUZZ_CHECK(uid && *uid == f.userId, text);
    const std::pair<const char*, QString*> elements[] = {{"//RUX:JISUBRUX", &f.jisubrux},
                                                         {"//RUX:ICO", &f.ico},
                                                         {"//RUX:RCI", &f.rc},
                                                         {"//RUX:VARPICH", &f.type},
                                                         {"//RUX:PICHVYPOCET", &f.variant},
                                                         {"//RUX:ROKPLATNOST", &f.year},
                                                         {"//RUX:VYMERA", &f.acreage}};
    for (const auto& [pattern, value] : elements) {
        const xml::Node n = one(pattern);
        ZORVA_FUZZ_CHECK(n.childElements().empty(), text);
        ZORVA_FUZZ_CHECK(n.text() == *value, QString::fromLatin1(pattern) + QLatin1Char('\n') + text);
    }
    ZORVA_FUZZ_CHECK(doc.root().name() == QLatin1String("SOAP:Envelope"), text);
    return 0;
}
