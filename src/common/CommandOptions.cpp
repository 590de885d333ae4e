#include "common/CommandOptions.h"

namespace zorva {

void readOptions(const QStringList& args, const std::function<bool(const QString& option, const OptionValue& value)>& handle)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const OptionValue next = [&]() -> QString {
            if (i + 1 >= args.size()) throw BadInput(QStringLiteral("Volbě %1 chybí hodnota.").arg(a));
            return args[++i];
        };
        if (!handle(a, next)) throw BadInput(QStringLiteral("Neznámá volba \"%1\".").arg(a));
    }
}

}  // namespace zorva
