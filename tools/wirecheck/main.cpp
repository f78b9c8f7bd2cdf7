// skarn-wirecheck FILE: checks a wire trace recorded with --wire-log.

#include "wirecheck.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("skarn-wirecheck");
    QCommandLineParser p;
    p.setApplicationDescription(
        "Runs a wire trace recorded with skarn-mouse --wire-log through the simulated mouse's\n"
        "report checks and prints each violation with its line. Exit status: 0 when the trace\n"
        "is clean, 1 when it is not, 2 when it cannot be read.\n"
        "Family, report length and scrambling are inferred from the trace unless given.");
    p.addHelpOption();
    p.addOption({"family", "The mouse's command family: 553 or 560.", "family"});
    p.addOption({"report-length", "Bytes in a data report: 8 to 64.", "length"});
    p.addOption({"code", "Command blocks are scrambled with this six-character code.", "code"});
    p.addOption({"unscrambled", "Command blocks are not scrambled."});
    p.addOption({"no-gun", "A 553-family mouse without the gun feature."});
    p.addPositionalArgument("FILE", "The trace.");
    p.process(app);

    auto usage = [&](const QString &why) {
        fprintf(stderr, "skarn-wirecheck: %s\n", qPrintable(why));
        fprintf(stderr, "%s", qPrintable(p.helpText()));
        return 2;
    };
    if (p.positionalArguments().size() != 1)
        return usage("give one trace file");

    WireCheck::Settings s;
    if (p.isSet("family")) {
        const QString f = p.value("family");
        if (f != "553" && f != "560")
            return usage("--family takes 553 or 560");
        s.is560 = f == "560";
    }
    if (p.isSet("report-length")) {
        bool ok = false;
        const int n = p.value("report-length").toInt(&ok);
        if (!ok || n < 8 || n > 64)
            return usage("--report-length takes a number from 8 to 64");
        s.reportLength = n;
    }
    if (p.isSet("code") && p.isSet("unscrambled"))
        return usage("--code and --unscrambled exclude each other");
    if (p.isSet("code")) {
        const QByteArray code = p.value("code").toLatin1();
        if (code.size() != 6)
            return usage("--code takes six characters");
        s.code = code;
    }
    if (p.isSet("unscrambled"))
        s.scrambled = false;
    s.isGun = !p.isSet("no-gun");

    const QString path = p.positionalArguments().first();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        fprintf(stderr, "skarn-wirecheck: cannot read %s: %s\n", qPrintable(path),
                qPrintable(f.errorString()));
        return 2;
    }
    const WireCheck::Result r = WireCheck::check(f.readAll().split('\n'), s);
    for (const QString &problem : r.problems)
        printf("%s:%s\n", qPrintable(path), qPrintable(problem));

    QString format = QStringLiteral("%1 family, %2-byte data reports, ")
                         .arg(r.format.is560 ? "560" : "553")
                         .arg(r.format.reportLength);
    if (!r.format.isEncode)
        format += "unscrambled";
    else if (r.codeKnown)
        format +=
            QStringLiteral("scrambled with \"%1\"")
                .arg(QString::fromLatin1(reinterpret_cast<const char *>(r.format.code + 1), 6));
    else
        format += "scrambled with an unknown code";
    auto count = [](int n, const char *what) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(what)).arg(n == 1 ? "" : "s");
    };
    const int violations = int(r.problems.size()) - r.unreadableLines;
    QStringList summary{count(r.records, "record")};
    if (r.unreadableLines)
        summary << count(r.unreadableLines, "unreadable line");
    summary << count(r.failedCalls, "failed call") << count(violations, "violation");
    printf("%s: %s (%s)\n", qPrintable(path), qPrintable(summary.join(", ")), qPrintable(format));
    return r.problems.isEmpty() ? 0 : 1;
}
