#include "shell/mainactions.h"

#include "base/commandids.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QToolBar>
#include <QWidget>

namespace {
struct SCommand {
    int id;
    const char *caption;   // menu caption; the key after it is shown by the menu
    const char *menuKey;   // shown after the caption
    const char *hiddenKey; // works, but no menu shows it
    const char *icon;
    const char *prompt; // status-bar prompt, a line feed, then the tool tip
    bool checkable;
};

// Every text of the main window's commands, side by side.
const SCommand kCommands[] = {
    {ID_EMPLOYEE_ENTRY, "社員登録処理", nullptr, nullptr, nullptr, nullptr, false},
    {ID_SHOW_COMPANY, "会社構成表示", nullptr, nullptr, "company", "会社構成を表示します。\n会社構成", false},
    {ID_FILE_OPEN, "ﾃﾝﾌﾟﾚｰﾄ開く(&O)...", "Ctrl+O", nullptr, "open", "既存のドキュメントを開きます。\n開く", false},
    {ID_FILE_PRINT_SETUP, "ﾌﾟﾘﾝﾀの設定(&R)...", nullptr, nullptr, nullptr,
     "プリンタおよび印刷オプションを変更します。\n印刷設定", false},
    {ID_CARD_STOCK, "名刺用紙の位置調整...", nullptr, nullptr, nullptr,
     "名刺を印刷する用紙と位置を合わせます。\n名刺用紙の位置調整", false},
    {ID_PRINT_UNIT_LIST, "部課の社員一覧を印刷...", nullptr, nullptr, nullptr,
     "選択した部課とその下の部課の社員一覧を部課ごとに印刷します。\n部課の社員一覧を印刷", false},
    {ID_CSV_EXPORT, "CSV書き出し...", nullptr, nullptr, nullptr,
     "部課と社員を CSV ファイル（部課.csv、社員.csv）に書き出します。\nCSV書き出し", false},
    {ID_CSV_IMPORT, "CSV読み込み...", nullptr, nullptr, nullptr,
     "部課.csv と社員.csv から部課と社員を読み込みます。\nCSV読み込み", false},
    {ID_XLSX_EXPORT, "Excel書き出し...", nullptr, nullptr, nullptr,
     "部課と社員を Excel ブック（.xlsx）に書き出します。\nExcel書き出し", false},
    {ID_XLSX_IMPORT, "Excel読み込み...", nullptr, nullptr, nullptr,
     "Excel ブック（.xlsx）のシート 部課 と 社員 から部課と社員を読み込みます。\nExcel読み込み", false},
    {ID_PHOTO_IMPORT, "写真の一括取り込み...", nullptr, nullptr, nullptr,
     "社員コードを名前にした画像ファイルのフォルダから、社員の写真をまとめて取り込みます。\n写真の一括取り込み", false},
    {ID_POSTAL_IMPORT, "郵便番号データの読み込み...", nullptr, nullptr, nullptr,
     "日本郵便の郵便番号データ（KEN_ALL.CSV、ken_all.zip）を読み込み、〒から住所を補えるようにします。\n"
     "郵便番号データの読み込み",
     false},
    {ID_BACKUP_CREATE, "ﾊﾞｯｸｱｯﾌﾟ作成", nullptr, nullptr, nullptr,
     "データベースのバックアップを指定した場所に作成します。\nﾊﾞｯｸｱｯﾌﾟ作成", false},
    {ID_BACKUP_RESTORE, "ﾊﾞｯｸｱｯﾌﾟから復元...", nullptr, nullptr, nullptr,
     "バックアップを選んでデータベースを元に戻します。\nﾊﾞｯｸｱｯﾌﾟから復元", false},
    {ID_OPEN_SERVER, "サーバーのデータベースを開く...", nullptr, nullptr, nullptr,
     "PostgreSQL サーバーのデータベースを URI で指定して使います。\nサーバーのデータベースを開く", false},
    {ID_APP_EXIT, "ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)", nullptr, nullptr, nullptr, "アプリケーションを終了します。\n終了", false},
    {ID_NEW_COMPANY, "新規会社作成", nullptr, nullptr, nullptr, nullptr, false},
    {ID_FILE_CLOSE, "会社構成閉じる(&C)", nullptr, nullptr, nullptr, "作業中のドキュメントを閉じます。\n閉じる", false},
    {ID_FILE_SAVE, "上書き保存(&S)", "Ctrl+S", nullptr, "save", "作業中のドキュメントを上書きして保存します。\n上書き保存",
     false},
    {ID_FILE_SAVE_AS, "名前を付けて保存(&A)...", nullptr, nullptr, nullptr,
     "作業中のドキュメントを新しい名前で保存します。\n名前を付けて保存", false},
    {ID_FILE_PRINT, "印刷(&P)...", "Ctrl+P", nullptr, "print", "作業中のドキュメントを印刷します。\n印刷", false},
    // Prints without asking; no menu shows it.
    {ID_FILE_PRINT_DIRECT, "直接印刷", nullptr, nullptr, nullptr, nullptr, false},
    {ID_FILE_PRINT_PREVIEW, "印刷ﾌﾟﾚﾋﾞｭｰ(&V)", nullptr, nullptr, nullptr, "ページ全体を表示します。\n印刷プレビュー",
     false},
    {ID_VIEW_TOOLBAR, "ﾂｰﾙ ﾊﾞｰ(&T)", nullptr, nullptr, nullptr,
     "ツール バーの表示/非表示を切り替えます。\nツール バーの表示切り替え", true},
    {ID_VIEW_STATUS_BAR, "ｽﾃｰﾀｽ ﾊﾞｰ(&S)", nullptr, nullptr, nullptr,
     "ステータス バーの表示/非表示を切り替えます。\nステータス バーの表示切り替え", true},
    {ID_WINDOW_SPLIT, "分割(&P)", nullptr, nullptr, nullptr, "作業中のウィンドウの区切りを移動します。\n分割", false},
    {ID_VIEW_LARGEICON, "大きいｱｲｺﾝ(&G)", nullptr, nullptr, "largeicon", "大きいアイコンで表示します。\n大きいアイコン",
     true},
    {ID_VIEW_SMALLICON, "小さいｱｲｺﾝ(&M)", nullptr, nullptr, "smallicon", "小さいアイコンで表示します。\n小さいアイコン",
     true},
    {ID_VIEW_LIST, "一覧(&L)", nullptr, nullptr, "list", "一覧で表示します。\n一覧", true},
    {ID_VIEW_DETAILS, "詳細(&D)", nullptr, nullptr, "details", "詳細を表示します。\n詳細", true},
    {ID_VIEW_BYNAME, "名前順(&N)", nullptr, nullptr, nullptr, "名前順に並べ替えます。\n名前順", false},
    {ID_VIEW_AUTOARRANGE, "ｱｲｺﾝの自動整列(&A)", nullptr, nullptr, nullptr, "アイコンを自動的に整列します。\n自動整列",
     false},
    {ID_VIEW_LINEUP, "等間隔に整列(&E)", nullptr, nullptr, nullptr, "アイコンをグリッドに整列します。\n整列", false},
    {ID_UNAFFILIATED_LIST, "未登録社員一覧", nullptr, "F8", nullptr, "未登録の社員一覧を表示します。\n社員一覧", false},
    {ID_NAME_SEARCH, "名前で検索", "Ctrl+F", nullptr, nullptr,
     "名前やふりがなで社員を探し、その所属を表示します。\n名前で検索", false},
    {ID_AS_OF_DATE, "基準日...", "F4", nullptr, nullptr,
     "指定した日の終わりの会社構成と社員を表示します（参照のみ）。\n基準日", false},
    {ID_ORG_CHART, "組織図", nullptr, nullptr, nullptr,
     "選択した会社（または部課とその下）を組織図で表示し、印刷や書き出しをします。\n組織図", false},
    {ID_STAFF_FIGURES, "人員構成", nullptr, nullptr, nullptr,
     "部課別人員、年齢構成、勤続年数、入社・退社、月末人員の図を表示します。\n人員構成", false},
    {ID_AS_OF_TODAY, "今日", "F5", nullptr, nullptr, "現在の会社構成と社員の表示に戻ります。\n今日", false},
    {ID_TRANSFER, "社員の異動...", "F7", nullptr, nullptr,
     "選択した社員を、異動日を指定して別の部課に異動します。\n社員の異動", false},
    {ID_EMPLOYEE_CORRECT, "社員の訂正...", "Ctrl+E", nullptr, nullptr,
     "選択した社員を社員マスタ登録で呼び出して訂正します。\n社員の訂正", false},
    {ID_HELP_FINDER, "ﾄﾋﾟｯｸの検索(&H)", nullptr, nullptr, nullptr, "ヘルプ トピックの一覧を表示します。\nヘルプ トピック",
     false},
    {ID_APP_ABOUT, "Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)...", nullptr, nullptr, "about",
     "プログラムの情報、バージョン、著作権を表示します。\nバージョン情報", false},
    // Reached by keys or the tool bar only.
    {ID_FILE_NEW, "新規作成", nullptr, "Ctrl+N", nullptr, nullptr, false},
    {ID_CONTEXT_HELP, "ヘルプ", nullptr, "Shift+F1", "contexthelp",
     "ボタン、メニュー、ウィンドウのヘルプを表示します。\nヘルプ", false},
    {ID_HELP, "ヘルプ", nullptr, "F1", nullptr, nullptr, false},
    {ID_NEXT_PANE, "次のペイン", nullptr, "F6", nullptr, nullptr, false},
    {ID_PREV_PANE, "前のペイン", nullptr, "Shift+F6", nullptr, nullptr, false},
};

const int kStyleCommands[] = {ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST, ID_VIEW_DETAILS};
} // namespace

CMainActions::CMainActions(QWidget *owner)
    : m_pStyleGroup(new QActionGroup(owner))
{
    // One mark among the styles, or none when there is no list.
    m_pStyleGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const SCommand &command : kCommands) {
        auto *action = new QAction(QString::fromUtf8(command.caption), owner);
        if (command.menuKey)
            action->setShortcut(QKeySequence(QString::fromLatin1(command.menuKey)));
        // A menu shows an action's own key, so keys not in the caption live apart.
        if (command.hiddenKey) {
            auto *shortcut = new QShortcut(QKeySequence(QString::fromLatin1(command.hiddenKey)), owner);
            QObject::connect(shortcut, &QShortcut::activated, action, [action] {
                if (action->isEnabled())
                    action->trigger();
            });
        }
        if (command.icon) {
            action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(command.icon))));
            // Menus keep their check and radio marks; pictures are for the tool bar.
            action->setIconVisibleInMenu(false);
        }
        if (command.prompt) {
            const QStringList parts = QString::fromUtf8(command.prompt).split(QLatin1Char('\n'));
            action->setStatusTip(parts.value(0));
            action->setToolTip(parts.value(1));
        }
        action->setCheckable(command.checkable);
        owner->addAction(action);
        m_actions.insert(command.id, action);
        m_ids.append(command.id);
    }
    for (int id : kStyleCommands)
        m_pStyleGroup->addAction(Action(id));
}

QList<QMenu *> CMainActions::BuildMenus(int menuId, QWidget *parent) const
{
    const bool company = menuId == IDR_MORVEKTYPE;
    auto add = [this](QMenu *menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id)
                menu->addAction(Action(id));
            else
                menu->addSeparator();
        }
    };

    auto *file = new QMenu(QStringLiteral("ﾌｧｲﾙ(&F)"), parent);
    if (company)
        add(file, {ID_NEW_COMPANY,
                   ID_TRANSFER,
                   ID_EMPLOYEE_ENTRY,
                   ID_EMPLOYEE_CORRECT,
                   ID_FILE_CLOSE,
                   ID_FILE_SAVE,
                   ID_FILE_SAVE_AS,
                   0,
                   ID_FILE_PRINT,
                   ID_PRINT_UNIT_LIST,
                   ID_FILE_PRINT_PREVIEW,
                   ID_FILE_PRINT_SETUP,
                   ID_CARD_STOCK,
                   0,
                   ID_CSV_EXPORT,
                   ID_CSV_IMPORT,
                   ID_XLSX_EXPORT,
                   ID_XLSX_IMPORT,
                   ID_PHOTO_IMPORT,
                   ID_POSTAL_IMPORT,
                   0,
                   ID_BACKUP_CREATE,
                   ID_BACKUP_RESTORE,
                   ID_OPEN_SERVER,
                   0,
                   ID_APP_EXIT});
    else
        add(file, {ID_EMPLOYEE_ENTRY, ID_SHOW_COMPANY, ID_FILE_OPEN, 0, ID_FILE_PRINT_SETUP, ID_CARD_STOCK, 0,
                   ID_CSV_EXPORT, ID_CSV_IMPORT, ID_XLSX_EXPORT, ID_XLSX_IMPORT, ID_POSTAL_IMPORT, 0, ID_BACKUP_CREATE,
                   ID_BACKUP_RESTORE, ID_OPEN_SERVER, 0, ID_APP_EXIT});

    auto *view = new QMenu(QStringLiteral("表示(&V)"), parent);
    add(view, {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_WINDOW_SPLIT, 0, ID_VIEW_LARGEICON, ID_VIEW_SMALLICON, ID_VIEW_LIST,
               ID_VIEW_DETAILS, 0});
    QMenu *arrange = view->addMenu(QStringLiteral("ｱｲｺﾝの整列(&I)"));
    add(arrange, {ID_VIEW_BYNAME, 0, ID_VIEW_AUTOARRANGE});
    add(view, {ID_VIEW_LINEUP});
    if (company)
        add(view,
            {0, ID_UNAFFILIATED_LIST, ID_NAME_SEARCH, 0, ID_ORG_CHART, ID_STAFF_FIGURES, 0, ID_AS_OF_DATE, ID_AS_OF_TODAY});

    auto *help = new QMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"), parent);
    add(help, {ID_HELP_FINDER, 0, ID_APP_ABOUT});
    return {file, view, help};
}

void CMainActions::FillToolBar(QToolBar *toolBar) const
{
    const int ids[] = {ID_SHOW_COMPANY,
                       ID_FILE_OPEN,
                       ID_FILE_SAVE,
                       0,
                       ID_FILE_PRINT,
                       0,
                       ID_VIEW_LARGEICON,
                       ID_VIEW_SMALLICON,
                       ID_VIEW_LIST,
                       ID_VIEW_DETAILS,
                       0,
                       ID_APP_ABOUT,
                       ID_CONTEXT_HELP};
    for (int id : ids) {
        if (id)
            toolBar->addAction(Action(id));
        else
            toolBar->addSeparator();
    }
}
