#include "data/internal/keysetsql.h"

#include <QTest>

namespace {

OrderTerm term(const QString &column, bool descending = false, const QString &collation = {})
{
    OrderTerm result;
    result.column = QLatin1Char('"') + column + QLatin1Char('"');
    result.collation = collation;
    result.descending = descending;
    return result;
}

KeysetSql keyset(const QList<OrderTerm> &terms, const SqlCondition &filter = {})
{
    KeysetSql sql;
    sql.setOrder(terms + QList<OrderTerm>{OrderTerm::rowId()});
    sql.setFilter(filter);
    return sql;
}

FieldDefinition field(const QString &name, FieldType type, int size = 0,
                      const QString &calculatedBy = {})
{
    FieldDefinition definition;
    definition.name = name;
    definition.type = type;
    definition.size = size;
    definition.calculated = !calculatedBy.isNull();
    definition.sqlExpression = calculatedBy;
    return definition;
}

FieldList filterFields()
{
    return FieldList({field("NAME", FieldType::Alpha, 5), field("PERIOD", FieldType::Short),
                      field("DAY", FieldType::Date),
                      field("TOTAL", FieldType::Money, 0, "PRICE_TOTAL(PERIOD, PRICE, OFF)"),
                      // only the program's callback knows it
                      field("SHOWN", FieldType::Alpha, 10, "")});
}

} // namespace

class TestKeysetSql : public QObject
{
    Q_OBJECT

private slots:
    void level_data();
    void level();
    void before();
    void orderBy();
    void whereJoinsFilterAndCondition();
    void walkBound_data();
    void walkBound();
    void filter_data();
    void filter();
};

void TestKeysetSql::level_data()
{
    QTest::addColumn<QList<OrderTerm>>("terms");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("values");

    const QVariantList key{QStringLiteral("Eva"), 3, qint64(7)};
    const QList<OrderTerm> ascending{term("A")};
    const QList<OrderTerm> descending{term("A", true)};
    const QList<OrderTerm> twoTerms{term("A"), term("B", true)};
    QTest::newRow("ascending forward") << ascending << 0 << true << "\"A\" > ?" << key.mid(0, 1);
    QTest::newRow("ascending backward") << ascending << 0 << false << "\"A\" < ?" << key.mid(0, 1);
    QTest::newRow("descending forward") << descending << 0 << true << "\"A\" < ?" << key.mid(0, 1);
    QTest::newRow("descending backward")
        << descending << 0 << false << "\"A\" > ?" << key.mid(0, 1);
    QTest::newRow("second term descending")
        << twoTerms << 1 << true << "\"A\" = ? AND \"B\" < ?" << key.mid(0, 2);
    QTest::newRow("row id after equal keys")
        << twoTerms << 2 << true << "\"A\" = ? AND \"B\" = ? AND rowid > ?" << key;
    QTest::newRow("collation kept in every term")
        << QList<OrderTerm>{term("A", false, "NOCASE")} << 1 << false
        << "\"A\" COLLATE NOCASE = ? AND rowid < ?" << QVariantList{"Eva", 3};
    QTest::newRow("binary collation not spelled") << QList<OrderTerm>{term("A", false, "binary")}
                                                  << 0 << true << "\"A\" > ?" << key.mid(0, 1);
}

void TestKeysetSql::level()
{
    QFETCH(QList<OrderTerm>, terms);
    QFETCH(int, level);
    QFETCH(bool, forward);
    QFETCH(QString, text);
    QFETCH(QVariantList, values);
    const SqlCondition condition =
        keyset(terms).level(level, forward, {QStringLiteral("Eva"), 3, qint64(7)});
    QCOMPARE(condition.text, text);
    QCOMPARE(condition.values, values);
}

void TestKeysetSql::before()
{
    // Every record before the key: equal up to a level and smaller there, the first level first.
    QList<OrderTerm> terms{term("A"), term("B", true)};
    terms[0].field = 0;
    terms[1].field = 2;
    const KeysetSql sql = keyset(terms);
    const QVariantList key = sql.key(7, {QStringLiteral("Eva"), QStringLiteral("-"), 3});
    QCOMPARE(key, (QVariantList{"Eva", 3, qint64(7)}));
    const SqlCondition condition = sql.before(key);
    QCOMPARE(condition.text, "(\"A\" < ?) OR (\"A\" = ? AND \"B\" > ?) "
                             "OR (\"A\" = ? AND \"B\" = ? AND rowid < ?)");
    QCOMPARE(condition.values, (QVariantList{"Eva", "Eva", 3, "Eva", 3, qint64(7)}));
}

void TestKeysetSql::orderBy()
{
    const KeysetSql sql = keyset({term("A", false, "NOCASE"), term("B", true)});
    QCOMPARE(sql.orderBy(false), " ORDER BY \"A\" COLLATE NOCASE, \"B\" DESC, rowid");
    QCOMPARE(sql.orderBy(true), " ORDER BY \"A\" COLLATE NOCASE DESC, \"B\", rowid DESC");
}

void TestKeysetSql::whereJoinsFilterAndCondition()
{
    // The filter's values come first, as its text does.
    const KeysetSql sql = keyset({term("A")}, {"(\"A\" = ?)", {1}});
    const SqlCondition where = sql.where({"rowid = ? OR rowid > ?", {2, 3}});
    QCOMPARE(where.text, " WHERE (\"A\" = ?) AND (rowid = ? OR rowid > ?)");
    QCOMPARE(where.values, (QVariantList{1, 2, 3}));
    QCOMPARE(keyset({term("A")}).where().text, QString());
}

void TestKeysetSql::walkBound_data()
{
    QTest::addColumn<bool>("descending");
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QString>("text");

    QTest::newRow("ascending forward") << false << true << "\"A\" > ? AND \"A\" <= ?";
    QTest::newRow("ascending backward") << false << false << "\"A\" < ? AND \"A\" >= ?";
    QTest::newRow("descending forward") << true << true << "\"A\" < ? AND \"A\" >= ?";
    QTest::newRow("descending backward") << true << false << "\"A\" > ? AND \"A\" <= ?";
}

void TestKeysetSql::walkBound()
{
    // The walk must stop at the last filtered record's first key, never before it.
    QFETCH(bool, descending);
    QFETCH(bool, forward);
    QFETCH(QString, text);
    const KeysetSql sql = keyset({term("A", descending)});
    SqlCondition condition = sql.level(0, forward, {5, qint64(1)});
    sql.addWalkBound(&condition, forward, 9);
    QCOMPARE(condition.text, text);
    QCOMPARE(condition.values, (QVariantList{5, 9}));
}

void TestKeysetSql::filter_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("comparison");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("caseInsensitive");
    QTest::addColumn<bool>("noCaseIndex");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVariantList>("values");

    using C = FilterCondition;
    QTest::newRow("exact text") << "name" << int(C::Equal) << QVariant("Eva") << false << false
                                << "(\"NAME\" = ?)" << QVariantList{"Eva"};
    QTest::newRow("exact text on a case-insensitive index")
        << "NAME" << int(C::Equal) << QVariant("Eva") << false << true
        << "(\"NAME\" COLLATE NOCASE = ? AND \"NAME\" = ?)" << QVariantList{"Eva", "Eva"};
    QTest::newRow("other text on a case-insensitive index")
        << "NAME" << int(C::NotEqual) << QVariant("Eva") << false << true << "(\"NAME\" <> ?)"
        << QVariantList{"Eva"};
    QTest::newRow("any case equal")
        << "NAME" << int(C::Equal) << QVariant("éva") << true << false
        << "(LOCATE_MATCH(\"NAME\", ?, 1, 0) = 1)" << QVariantList{"éva"};
    QTest::newRow("any case not equal")
        << "NAME" << int(C::NotEqual) << QVariant("éva") << true << false
        << "(LOCATE_MATCH(\"NAME\", ?, 1, 0) <> 1)" << QVariantList{"éva"};
    QTest::newRow("any case less") << "NAME" << int(C::Less) << QVariant("M") << true << false
                                   << "(\"NAME\" COLLATE NOCASE < ?)" << QVariantList{"M"};
    QTest::newRow("number on a case-insensitive index")
        << "PERIOD" << int(C::GreaterOrEqual) << QVariant("12") << false << true
        << "(\"PERIOD\" COLLATE NOCASE >= ?)" << QVariantList{qint64(12)};
    QTest::newRow("date in Czech form")
        << "DAY" << int(C::LessOrEqual) << QVariant("9.12.2026") << false << false
        << "(\"DAY\" <= ?)" << QVariantList{"2026-12-09"};
    QTest::newRow("calculated by SQL")
        << "TOTAL" << int(C::Greater) << QVariant(10) << false << true
        << "((PRICE_TOTAL(PERIOD, PRICE, OFF)) > ?)" << QVariantList{10.0};
    QTest::newRow("unknown field") << "NONE" << int(C::Equal) << QVariant(1) << false << false
                                   << "Pole NONE v tabulce SaleSolars neexistuje" << QVariantList{};
    QTest::newRow("calculated only by the program")
        << "SHOWN" << int(C::Equal) << QVariant("x") << false << false
        << "Pole SHOWN nelze použít ve filtru" << QVariantList{};
    QTest::newRow("number out of range")
        << "PERIOD" << int(C::Equal) << QVariant(40000) << false << false << "" << QVariantList{};
}

void TestKeysetSql::filter()
{
    QFETCH(QString, field);
    QFETCH(int, comparison);
    QFETCH(QVariant, value);
    QFETCH(bool, caseInsensitive);
    QFETCH(bool, noCaseIndex);
    QFETCH(QString, text);
    QFETCH(QVariantList, values);
    // A second, plain condition checks the joining and the order of the values.
    const Filter filter{{field, FilterCondition::Comparison(comparison), value, caseInsensitive},
                        {QStringLiteral("PERIOD"), FilterCondition::Less, 30}};
    SqlCondition result;
    EngineError error;
    const bool built = KeysetSql::buildFilter(
        filterFields(), filter, [&](int) { return noCaseIndex; }, QStringLiteral("SaleSolars"),
        &result, &error);
    if (values.isEmpty()) {
        QVERIFY(!built);
        QVERIFY(error.isError());
        if (!text.isEmpty())
            QCOMPARE(error.message, text);
        return;
    }
    QVERIFY2(built, qPrintable(error.message));
    const QString period = noCaseIndex ? "\"PERIOD\" COLLATE NOCASE < ?" : "\"PERIOD\" < ?";
    QCOMPARE(result.text, text + " AND (" + period + ")");
    QCOMPARE(result.values, values + QVariantList{qint64(30)});
}

QTEST_GUILESS_MAIN(TestKeysetSql)
#include "tst_keysetsql.moc"
