#include "common/Command.h"

#include <algorithm>

#include "common/UserText.h"

namespace zorva {

CommandOptions::CommandOptions(const QStringList& args, std::span<const OptionShape> shapes)
{
    for (qsizetype at = 0; at < args.size(); ++at) {
        const QString& arg = args[at];
        const auto shape = std::find_if(shapes.begin(), shapes.end(),
                                        [&](const OptionShape& s) { return arg == QLatin1String(s.name); });
        if (shape == shapes.end()) throw BadInput(QStringLiteral("Neznámá volba \"%1\".").arg(arg));
        if (!shape->takesValue) {
            values_.insert(arg, QString());
            continue;
        }
        if (at + 1 >= args.size() || !isValue(args[at + 1]))
            throw BadInput(QStringLiteral("Volbě %1 chybí hodnota.").arg(arg));
        values_.insert(arg, args[++at]);
    }
}

QString CommandOptions::value(const char* name) const
{
    // QMultiHash hands the values of a key newest first.
    return values_.value(QLatin1String(name));
}

QStringList CommandOptions::values(const char* name) const
{
    QStringList all = values_.values(QLatin1String(name));
    std::reverse(all.begin(), all.end());
    return all;
}

QString CommandOptions::required(const char* name, const QString& missing) const
{
    const QString v = value(name);
    if (v.isEmpty()) throw BadInput(missing);
    return v;
}

int runCommand(const Command& command, const QStringList& args, const ProgramContext& ctx,
               const CommandStreams& streams)
{
    try {
        return command.run(CommandOptions(args, command.options()), ctx, streams);
    } catch (const BadInput& e) {
        streams.error(e.message);
        return 2;
    } catch (const std::exception& e) {
        streams.error(userText(e));
        return 2;
    }
}

}  // namespace zorva
