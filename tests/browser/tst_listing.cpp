#include "link/listing.h"
#include "link/remotepath.h"

#include <QtTest>

namespace {

QStringList describe(const QVector<Listing::Entry> &entries)
{
    QStringList out;
    for (const Listing::Entry &e : entries)
        out.append((e.folder ? "d " : "f ") + e.name);
    return out;
}

QString describe(const ListRow &row)
{
    const char *role = row.role == ListRow::Parent ? "P" : row.role == ListRow::Folder ? "D" : "F";
    return QLatin1String(role) + (row.local ? "+ " : " ") + row.name;
}

QStringList describe(const QMap<QString, QString> &kinds)
{
    QStringList out;
    for (auto it = kinds.begin(); it != kinds.end(); ++it)
        out.append(it.key() + '=' + it.value());
    return out;
}

// Builds the rows the way the window does from each update: new folders go in at their
// row, new files at the end.
void mirror(const FolderListing &listing, const ListingUpdate &update, QStringList *rows)
{
    if (update.restarted)
        rows->clear();
    for (int i = update.folderFrom; i < listing.folders().size(); ++i)
        rows->insert(i, describe(listing.folders().at(i)));
    for (int i = update.fileFrom; i < listing.files().size(); ++i)
        rows->append(describe(listing.files().at(i)));
}

QMap<QString, QString> kindsOf(const FolderListing &listing)
{
    QMap<QString, QString> kinds{{"stale", "Dir"}};
    listing.kinds(&kinds);
    return kinds;
}

} // namespace

class tst_Listing : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void parseAsTheLineGrows_data() { parse_data(); }
    void parseAsTheLineGrows();
    void rows_data();
    void rows();
    void continuation_data();
    void continuation();
};

void tst_Listing::parse_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("one blank, a folder and a file")
        << "$LIST: <d,a><f,b>" << QStringList{"d a", "f b"};
    QTest::newRow("no blank: the first entry is taken for a file")
        << "$LIST:<d,a><d,b>" << QStringList{"f a", "d b"};
    QTest::newRow("a name ends at its first comma")
        << "$LIST: <f,a,b><d,c,d,e>" << QStringList{"f a", "d c"};
    QTest::newRow("any kind but d is a file")
        << "$LIST: <D,a><dd,b><,c><l,d>" << QStringList{"f a", "f b", "f c", "f d"};
    QTest::newRow("trailing carriage return dropped") << "$LIST: <d,a>\r" << QStringList{"d a"};
    QTest::newRow("unfinished last entry dropped") << "$LIST: <d,a><f,b" << QStringList{"d a"};
    QTest::newRow("no entries") << "$LIST: " << QStringList{};
    QTest::newRow("keyword only") << "$LIST:" << QStringList{};
    QTest::newRow("entry without a comma skipped") << "$LIST: <abc><f,b>" << QStringList{"f b"};
    QTest::newRow("names that lead elsewhere skipped")
        << "$LIST: <d,.><d,..><f,><d,a/b><f,ok>" << QStringList{"f ok"};
    QTest::newRow("wildcard characters are plain characters")
        << "$LIST: <f,a*><f,b?><d,[c]>" << QStringList{"f a*", "f b?", "d [c]"};
    QTest::newRow("blanks and non-ascii letters")
        << QString::fromUtf8("$LIST: <f,r un.tif><d,\xC3\x9C>")
        << QStringList{"f r un.tif", QString::fromUtf8("d \xC3\x9C")};
    QTest::newRow("the character after > is skipped, whatever it is")
        << "$LIST: <d,a> <f,b><d,c>" << QStringList{"d a", "f b", "d c"};
}

void tst_Listing::parse()
{
    QFETCH(QString, line);
    QFETCH(QStringList, entries);
    QCOMPARE(describe(Listing::parse(line)), entries);
}

void tst_Listing::parseAsTheLineGrows()
{
    QFETCH(QString, line);
    QFETCH(QStringList, entries);
    ListingParser parser;
    QVector<Listing::Entry> found;
    for (int size = 0; size <= line.size(); ++size)
        parser.parse(line.left(size), &found);
    parser.parse(line, &found); // handed over again unchanged: nothing new
    QCOMPARE(describe(found), entries);
}

void tst_Listing::rows_data()
{
    QTest::addColumn<QString>("remotePath");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("local"); // in the mapped folder; "name/" is a folder
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("kinds");

    QTest::newRow("root: no parent row")
        << "/TARVELO" << "$LIST: <d,a><f,b>" << QStringList{} << QStringList{"D a", "F b"}
        << QStringList{"a=Dir", "b=File"};
    QTest::newRow("sub-folder: parent first, of kind Dir")
        << "/TARVELO/x" << "$LIST: <f,b>" << QStringList{} << QStringList{"P ..", "F b"}
        << QStringList{"..=Dir", "b=File"};
    QTest::newRow("no entries in a sub-folder: the parent row only")
        << "/TARVELO/x" << "$LIST: " << QStringList{} << QStringList{"P .."}
        << QStringList{"..=Dir"};
    QTest::newRow("folders before files, each in the instrument's order")
        << "/TARVELO" << "$LIST: <f,b><d,z><f,a><d,c>" << QStringList{}
        << QStringList{"D z", "D c", "F b", "F a"}
        << QStringList{"a=File", "b=File", "c=Dir", "z=Dir"};
    QTest::newRow("local file ticks its file")
        << "/TARVELO/x" << "$LIST: <f,b><f,c>" << QStringList{"b"}
        << QStringList{"P ..", "F+ b", "F c"} << QStringList{"..=Dir", "b=File", "c=File"};
    QTest::newRow("local folder ticks its folder")
        << "/TARVELO" << "$LIST: <d,a><d,b>" << QStringList{"a/"} << QStringList{"D+ a", "D b"}
        << QStringList{"a=Dir", "b=Dir"};
    QTest::newRow("a local folder does not tick a file of its name")
        << "/TARVELO" << "$LIST: <f,b>" << QStringList{"b/"} << QStringList{"F b"}
        << QStringList{"b=File"};
    QTest::newRow("a local file does not tick a folder of its name")
        << "/TARVELO" << "$LIST: <d,a>" << QStringList{"a"} << QStringList{"D a"}
        << QStringList{"a=Dir"};
    QTest::newRow("wildcards never tick another file")
        << "/TARVELO" << "$LIST: <f,a*><f,a?><f,[ac]><f,*><d,?>"
        << QStringList{"ab", "a1", "c", "x/"}
        << QStringList{"D ?", "F a*", "F a?", "F [ac]", "F *"}
        << QStringList{"*=File", "?=Dir", "[ac]=File", "a*=File", "a?=File"};
    QTest::newRow("a wildcard name present as such ticks only itself")
        << "/TARVELO" << "$LIST: <f,a*><f,ab>" << QStringList{"a*"}
        << QStringList{"F+ a*", "F ab"} << QStringList{"a*=File", "ab=File"};
    QTest::newRow("names differing in case are other names")
        << "/TARVELO" << "$LIST: <f,A.tif>" << QStringList{"a.tif"} << QStringList{"F A.tif"}
        << QStringList{"A.tif=File"};
    QTest::newRow("names beyond ASCII tick only themselves")
        << "/TARVELO"
        << "$LIST: <d,\u00c4rger><f,\u00dcber.tif><f,Uber.tif><f,\u00fcber.tif>"
        << QStringList{"\u00c4rger/", "\u00dcber.tif"}
        << QStringList{"D+ \u00c4rger", "F+ \u00dcber.tif", "F Uber.tif", "F \u00fcber.tif"}
        << QStringList{"Uber.tif=File", "\u00c4rger=Dir", "\u00dcber.tif=File",
                       "\u00fcber.tif=File"};
    QTest::newRow("hidden local file ticks")
        << "/TARVELO" << "$LIST: <f,.cfg>" << QStringList{".cfg"} << QStringList{"F+ .cfg"}
        << QStringList{".cfg=File"};
    QTest::newRow("a name listed as folder and file is a File")
        << "/TARVELO" << "$LIST: <f,x><d,x><d,y><f,y>" << QStringList{}
        << QStringList{"D x", "D y", "F x", "F y"} << QStringList{"x=File", "y=File"};
    QTest::newRow("unsafe folder: nothing is ticked")
        << "/TARVELO/y/../x" << "$LIST: <f,b>" << QStringList{"b"} << QStringList{"P ..", "F b"}
        << QStringList{"..=Dir", "b=File"};
}

void tst_Listing::rows()
{
    QFETCH(QString, remotePath);
    QFETCH(QString, line);
    QFETCH(QStringList, local);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, kinds);
    QTemporaryDir download;
    QVERIFY(download.isValid());
    // The local copies lie where a plain textual mapping would look, so an unsafe remote
    // path that got mapped anyway would show up as ticked.
    const QString mapped = download.path()
        + QString(remotePath).replace(QLatin1String("/TARVELO"), QString()).replace("/y/../", "/");
    for (const QString &name : local) {
        if (name.endsWith('/')) {
            QVERIFY(QDir().mkpath(mapped + '/' + name));
        } else {
            QVERIFY(QDir().mkpath(mapped));
            QFile file(mapped + '/' + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    FolderListing listing;
    QStringList shown;
    mirror(listing,
           listing.apply(line, 1, remotePath, RemotePath::toLocalPath(remotePath, download.path())),
           &shown);
    QCOMPARE(shown, rows);
    QCOMPARE(describe(kindsOf(listing)), kinds);
    for (const QString &kind : kinds) // asked one name at a time, the same answers
        QCOMPARE(listing.isFile(kind.section('=', 0, -2)), kind.endsWith(QLatin1String("=File")));
    QVERIFY(!listing.isFile(QStringLiteral("absent")));
    QCOMPARE(listing.rowCount(), rows.size());
}

void tst_Listing::continuation_data()
{
    QTest::addColumn<quint64>("secondId");
    QTest::addColumn<QString>("secondPath");
    QTest::addColumn<bool>("invalidate");
    QTest::addColumn<bool>("restarted");
    QTest::newRow("same line, same folder: continues") << quint64(7) << "/TARVELO/x" << false << false;
    QTest::newRow("another line: starts afresh") << quint64(8) << "/TARVELO/x" << false << true;
    QTest::newRow("same line, other folder: starts afresh")
        << quint64(7) << "/TARVELO/y" << false << true;
    QTest::newRow("the shown list was changed: starts afresh")
        << quint64(7) << "/TARVELO/x" << true << true;
    QTest::newRow("line id 0 never continues") << quint64(0) << "/TARVELO/x" << false << true;
}

void tst_Listing::continuation()
{
    QFETCH(quint64, secondId);
    QFETCH(QString, secondPath);
    QFETCH(bool, invalidate);
    QFETCH(bool, restarted);
    FolderListing listing;
    const quint64 firstId = secondId == 0 ? 0 : 7;
    listing.apply("$LIST: <d,a><f,b>", firstId, "/TARVELO/x", QString());
    if (invalidate)
        listing.invalidate();
    const ListingUpdate update = listing.apply("$LIST: <d,a><f,b><d,c>", secondId, secondPath,
                                               QString());
    QCOMPARE(update.restarted, restarted);
    QStringList added;
    for (int i = update.folderFrom; i < listing.folders().size(); ++i)
        added.append(describe(listing.folders().at(i)));
    for (int i = update.fileFrom; i < listing.files().size(); ++i)
        added.append(describe(listing.files().at(i)));
    QCOMPARE(added, (restarted ? QStringList{"P ..", "D a", "D c", "F b"} : QStringList{"D c"}));
    QCOMPARE(update.folderFrom, restarted ? 0 : 2);
    QCOMPARE(listing.rowCount(), 4);
    QCOMPARE(describe(kindsOf(listing)), (QStringList{"..=Dir", "a=Dir", "b=File", "c=Dir"}));
}

QTEST_GUILESS_MAIN(tst_Listing)
#include "tst_listing.moc"
