#include "SettingsCommands.h"

#include "base/Settings.h"

namespace {

int runSettings(CliContext &ctx, const QStringList &args)
{
    const QString verb = args.value(0);
    if (verb == QLatin1String("list") && args.size() == 1) {
        for (const Settings::Key &key : Settings::catalogue()) {
            const QVariant v = Settings::value(key.name);
            QString shown = v.isValid() ? Settings::toText(key.name, v) : QStringLiteral("(no value)");
            if (!v.isValid() && key.defaultValue.isValid())
                shown = QStringLiteral("(default %1)").arg(key.defaultValue.toString());
            ctx.out << key.name << '\t' << shown << '\n';
        }
        return 0;
    }
    if (verb == QLatin1String("get") && args.size() == 2) {
        const QString key = args.at(1);
        if (!Settings::find(key)) {
            ctx.err << "Unknown setting \"" << key << "\"; stashly-cli settings list shows them\n";
            return 2;
        }
        const QVariant v = Settings::value(key);
        if (v.isValid())
            ctx.out << Settings::toText(key, v) << '\n';
        else if (Settings::find(key)->defaultValue.isValid())
            ctx.out << Settings::find(key)->defaultValue.toString() << '\n';
        else
            return 1;
        return 0;
    }
    if (verb == QLatin1String("set") && args.size() == 3) {
        const QString key = args.at(1);
        if (!Settings::find(key)) {
            ctx.err << "Unknown setting \"" << key << "\"; stashly-cli settings list shows them\n";
            return 2;
        }
        QString error;
        const QVariant v = Settings::parse(key, args.at(2), &error);
        if (!v.isValid()) {
            ctx.err << error << '\n';
            return 2;
        }
        Settings::setValue(key, v);
        return 0;
    }
    ctx.err << "Usage: stashly-cli settings get KEY | set KEY VALUE | list\n";
    return 2;
}

} // namespace

void addSettingsCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("settings"), QStringLiteral("settings get KEY | set KEY VALUE | list"),
                   QStringLiteral("read and change the user's settings"), runSettings });
}
