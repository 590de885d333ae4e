#include "request/PreparedRequest.h"

#include "common/ModAll.h"

namespace zorva::request {

PreparedRequest prepareRequest(const RequestInput& in, const QLocale& locale)
{
    PreparedRequest p;
    p.checked = validate({in.type, in.year, in.acreage}, locale);
    if (!p.ok()) return p;
    p.fields.userId = in.userId;
    p.fields.jisubrux = in.jisubrux;
    p.fields.ico = in.ico;
    p.fields.rc = in.rc;
    p.fields.type = in.type;
    p.fields.variant = in.variant;
    p.fields.year = p.checked.year;
    p.fields.acreage = FormatujCislo(p.checked.acreage, true, false);
    return p;
}

}  // namespace zorva::request
