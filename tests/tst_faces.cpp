// Faces in the list: made small keeping proportions, read only for the rows
// shown with the usual icon standing in, and replaced when the photo changes.
#include "photo/dibblock.h"
#include "photo/facethumbnail.h"
#include "register/register.h"
#include "support/registergenerator.h"
#include "views/facecache.h"
#include "views/listcolumns.h"
#include "views/rowimages.h"
#include "views/unaffiliateddlg.h"
#include "viewsfixture.h"

#include <QDir>
#include <QIcon>
#include <QImage>

namespace {
QImage Shown(const QAbstractItemModel *model, int row)
{
    return model->index(row, 0)
        .data(Qt::DecorationRole)
        .value<QIcon>()
        .pixmap(CFaceCache::kSide)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Generic(bool female)
{
    return CRowImages::Icon(female ? CRowImages::woman : CRowImages::man)
        .pixmap(CFaceCache::kSide)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
} // namespace

class TestFaces : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void thumbnailKeepsProportions_data();
    void thumbnailKeepsProportions();
    void facesForTheRowsShownOnly();
    void changedPhotoReplacesItsFace();
    void employeesWithoutAUnitShowTheirFaces();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_unit = 0;
    QList<qint32> m_ids;
};

void TestFaces::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    const qint32 company = CRegisterBuilder::AddUnit({0, 1, QStringLiteral("本社")});
    m_unit = CRegisterBuilder::AddUnit({company, 1, QStringLiteral("営業部")});
    QList<CRegisterBuilder::SEmployeeRow> employees;
    for (int code = 1; code <= 400; ++code) {
        CRegisterBuilder::SEmployeeRow row = CRegisterBuilder::Numbered(code, m_unit);
        // The second has no photo.
        if (code != 2)
            row.pic = CRegisterGenerator::Photo(60, code);
        employees.append(row);
    }
    m_ids = CRegisterBuilder::AddEmployees(employees);
}

void TestFaces::thumbnailKeepsProportions_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("thumbnail");
    QTest::newRow("wide") << QSize(120, 60) << QSize(32, 16);
    QTest::newRow("tall") << QSize(90, 120) << QSize(24, 32);
    QTest::newRow("small stays") << QSize(20, 30) << QSize(20, 30);
    QTest::newRow("no picture") << QSize() << QSize();
}

void TestFaces::thumbnailKeepsProportions()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, thumbnail);
    QImage image(picture.isValid() ? picture : QSize(1, 1), QImage::Format_RGB32);
    image.fill(Qt::gray);
    const QByteArray block = picture.isValid() ? MakePackedDib(image) : QByteArray("damaged");
    QCOMPARE(CFaceThumbnail::Make(block, CFaceCache::kSide).size(), thumbnail.isValid() ? thumbnail : QSize(0, 0));
}

void TestFaces::facesForTheRowsShownOnly()
{
    SPanes panes;
    CMorvekView *list = panes.list;
    list->ShowUnitContents(m_unit);
    CFaceCache *faces = list->GetFaces();
    const QAbstractItemModel *rows = list->model();
    QTRY_VERIFY(faces->Has(m_ids[0]));
    QCOMPARE(Shown(rows, 0), CFaceThumbnail::Make(CRegisterGenerator::Photo(60, 1), CFaceCache::kSide));
    // Without a photo: the usual icon.
    QTRY_VERIFY(faces->Has(m_ids[1]));
    QCOMPARE(Shown(rows, 1), Generic(false));
    // Far below the screen: never read.
    QVERIFY(!list->viewport()->rect().intersects(list->visualRect(rows->index(399, 0))));
    QVERIFY(!faces->Has(m_ids[399]) && !faces->IsAskedFor(m_ids[399]));
    // The usual icon stands in while the face is on its way.
    list->scrollToBottom();
    QCOMPARE(Shown(rows, 399), Generic(false));
    QTRY_VERIFY(faces->Has(m_ids[399]));
    QCOMPARE(Shown(rows, 399), CFaceThumbnail::Make(CRegisterGenerator::Photo(60, 400), CFaceCache::kSide));
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty()) {
        QTest::qWait(200);
        QVERIFY(panes.window.grab().save(QDir(folder).filePath(QStringLiteral("faces-large-icons.png"))));
    }
    // The details style shows no faces.
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    QCOMPARE(Shown(rows, 399), Generic(false));
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty()) {
        list->GetColumns()->SortBy(CUnitContentsModel::codeColumn, Qt::DescendingOrder);
        list->scrollToTop();
        QTest::qWait(100);
        QVERIFY(panes.window.grab().save(QDir(folder).filePath(QStringLiteral("details.png"))));
    }
}

void TestFaces::changedPhotoReplacesItsFace()
{
    SPanes panes;
    panes.list->ShowUnitContents(m_unit);
    CFaceCache *faces = panes.list->GetFaces();
    QTRY_VERIFY(faces->Has(m_ids[0]));
    const QByteArray newPhoto = CRegisterGenerator::Photo(50, 77);
    {
        CMast01 set;
        set.Open();
        QVERIFY(set.FindById(m_ids[0]));
        set.Edit();
        set.m_Pic.SetData(newPhoto);
        set.Update();
    }
    CRegister::Instance().Notify({SRegisterChange::EKind::employeeChanged, {m_ids[0]}, 0});
    QVERIFY(!faces->Has(m_ids[0]));
    QTRY_COMPARE(Shown(panes.list->model(), 0), CFaceThumbnail::Make(newPhoto, CFaceCache::kSide));
}

void TestFaces::employeesWithoutAUnitShowTheirFaces()
{
    const QByteArray photo = CRegisterGenerator::Photo(60, 999);
    CRegisterBuilder::AddEmployee({.code = 999, .name = QStringLiteral("未配属"), .pic = photo});
    SPanes panes;
    panes.list->ShowUnaffiliatedWindow();
    const QAbstractItemModel *rows = panes.list->GetUnaffiliatedWindow()->GetModel();
    QCOMPARE(rows->rowCount(), 1);
    QTRY_COMPARE(Shown(rows, 0), CFaceThumbnail::Make(photo, CFaceCache::kSide));
}

QTEST_MAIN(TestFaces)
#include "tst_faces.moc"
