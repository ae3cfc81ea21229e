#include "PredicateCommands.h"

#include "predicate/Predicate.h"

#include <QDateTime>

namespace {

const char usageText[] = "Usage: stashly-cli predicate [--data] FORMAT [ARG ...]\n"
                         "\n"
                         "Reads FORMAT, a predicate in its text form whose placeholders %K (a key path),\n"
                         "%@ (a value), %d (a whole number) and %f (a number) are filled with the ARGs in\n"
                         "order, and prints the predicate's text form. With --data it also prints the\n"
                         "stored form (as kept by smart folders) in hexadecimal.\n"
                         "\n"
                         "An ARG is a text as written: \"2014\" stays the text \"2014\" for %@, as a name\n"
                         "would; %d and %f read it as a number. For other kinds of value write:\n"
                         "  int:42  num:2.5  bool:YES  bool:NO  nil:  date:2014-05-02T04:00:00Z\n"
                         "  list:Home,Work (texts separated by commas; list: alone is the empty list)\n"
                         "  text:int:42 (the text after \"text:\", for a text that starts like the above)\n"
                         "\n"
                         "Examples:\n"
                         "  stashly-cli predicate '%K == %@' categoryName Tools\n"
                         "  stashly-cli predicate 'location IN %@' list:Home,Work\n"
                         "  stashly-cli predicate '((%K > 1) AND (%K < 31))' warrantyLevel warrantyLevel\n"
                         "  stashly-cli predicate 'item CONTAINS[cd] \"lamp\"'\n";

int runPredicate(CliContext &ctx, const QStringList &args)
{
    QStringList rest = args;
    bool data = false;
    if (!rest.isEmpty() && (rest.first() == QLatin1String("--help") || rest.first() == QLatin1String("-h"))) {
        ctx.out << usageText;
        return 0;
    }
    if (!rest.isEmpty() && rest.first() == QLatin1String("--data")) {
        data = true;
        rest.removeFirst();
    }
    if (rest.isEmpty()) {
        ctx.err << usageText;
        return 2;
    }
    const QString format = rest.takeFirst();
    QVariantList arguments;
    for (const QString &arg : rest) {
        QString error;
        const QVariant v = predicateArgumentValue(arg, &error);
        if (!error.isEmpty()) {
            ctx.err << error << '\n';
            return 2;
        }
        arguments.append(v);
    }
    QString error;
    const std::optional<Predicate> p = Predicate::tryFromFormat(format, arguments, &error);
    if (!p) {
        ctx.err << error << '\n';
        return 2;
    }
    ctx.out << p->description() << '\n';
    if (data)
        ctx.out << p->toData().toHex() << '\n';
    return 0;
}

} // namespace

// One ARG as a value; `error` set when a typed form does not read.
QVariant predicateArgumentValue(const QString &arg, QString *error)
{
    const qsizetype colon = arg.indexOf(u':');
    if (colon < 0)
        return arg;
    const QString kind = arg.left(colon);
    const QString rest = arg.mid(colon + 1);
    bool ok = true;
    if (kind == QLatin1String("text"))
        return rest;
    if (kind == QLatin1String("int")) {
        const qlonglong v = rest.toLongLong(&ok);
        if (ok)
            return v;
    } else if (kind == QLatin1String("num")) {
        const double v = rest.toDouble(&ok);
        if (ok)
            return v;
    } else if (kind == QLatin1String("bool")) {
        if (rest.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0
            || rest.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (rest.compare(QLatin1String("NO"), Qt::CaseInsensitive) == 0
            || rest.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        ok = false;
    } else if (kind == QLatin1String("nil")) {
        if (rest.isEmpty())
            return QVariant::fromValue(nullptr);
        ok = false;
    } else if (kind == QLatin1String("date")) {
        const QDateTime v = QDateTime::fromString(rest, Qt::ISODateWithMs);
        if (v.isValid())
            return v;
        ok = false;
    } else if (kind == QLatin1String("list")) {
        return rest.isEmpty() ? QStringList() : rest.split(u',');
    } else {
        return arg; // "Tools: garden" is a text like any other
    }
    *error = QStringLiteral("Cannot read \"%1\" as %2; see stashly-cli predicate --help").arg(rest, kind);
    return QVariant();
}

void addPredicateCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("predicate"), QStringLiteral("predicate [--data] FORMAT [ARG ...]"),
                   QStringLiteral("print the text form of a predicate format filled with ARGs (see predicate --help)"),
                   runPredicate });
}
