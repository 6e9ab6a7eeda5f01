#include "EditorWindow.h"

#include "Highlighter.h"
#include "Install.h"
#include "Preview.h"
#include "TrainerSettings.h"
#include "platform/Text.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string S(const QString& text) {
    return text.toUtf8().toStdString();
}

// The font the pupils' trainer draws with: what it reports, else the build tree's content.
std::string DefaultFont() {
    if (auto settings = ReadTrainerSettings();
        settings && !settings->FontFile.empty() && QFileInfo::exists(Q(settings->FontFile)))
        return settings->FontFile;
    return S(QCoreApplication::applicationDirPath() + "/../share/zarvo/Zarvo.fff");
}

QPixmap Pixmap(const platform::TBitmap& bitmap) {
    return QPixmap::fromImage(bitmap.Image());
}

constexpr int LineRole = Qt::UserRole;
constexpr int SourceRole = Qt::UserRole + 1;

} // namespace

TPictureLabel::TPictureLabel() {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMinimumWidth(200);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void TPictureLabel::SetPicture(const QPixmap& picture) {
    Original = picture;
    setWordWrap(false);
    Fit();
}

void TPictureLabel::SetNote(const QString& text) {
    Original = QPixmap();
    setMinimumHeight(0);
    setMaximumHeight(QWIDGETSIZE_MAX);
    setWordWrap(true);
    setText(text);
}

void TPictureLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Fit();
}

void TPictureLabel::Fit() {
    if (Original.isNull())
        return;
    const int w = std::min(width(), static_cast<int>(Original.width()));
    const QPixmap shown = w == Original.width()
                              ? Original
                              : Original.scaledToWidth(std::max(w, 1), Qt::SmoothTransformation);
    setPixmap(shown);
    setFixedHeight(shown.height());
}

QString Tr(const char* english, const char* russian) {
    return QLocale().language() == QLocale::Russian ? QString::fromUtf8(russian)
                                                    : QString::fromUtf8(english);
}

TEditorWindow::TEditorWindow(const std::string& fontFile, QWidget* parent)
    : QMainWindow(parent), FontFile(fontFile.empty() ? DefaultFont() : fontFile) {
    Tree = new QTreeWidget;
    Tree->setHeaderLabel(Tr("Classes, themes, variants", "Классы, темы, варианты"));
    connect(Tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        JumpTo(TSourceKind::Variants, item->data(0, LineRole).toInt());
    });

    QFont mono("monospace");
    mono.setStyleHint(QFont::TypeWriter);
    VariantEdit = new QPlainTextEdit;
    RulesEdit = new QPlainTextEdit;
    for (QPlainTextEdit* edit : {VariantEdit, RulesEdit}) {
        edit->setFont(mono);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        new TSourceHighlighter(edit->document());
        connect(edit, &QPlainTextEdit::textChanged, this, &TEditorWindow::TextChanged);
        connect(edit, &QPlainTextEdit::cursorPositionChanged, this,
                [this] { CursorTimer->start(); });
    }
    Tabs = new QTabWidget;
    Tabs->addTab(VariantEdit, Tr("Exercises", "Упражнения"));
    Tabs->addTab(RulesEdit, Tr("Rules", "Правила"));

    FindingList = new QListWidget;
    connect(FindingList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        JumpTo(static_cast<TSourceKind>(item->data(SourceRole).toInt()),
               item->data(LineRole).toInt());
    });
    connect(FindingList, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        JumpTo(static_cast<TSourceKind>(item->data(SourceRole).toInt()),
               item->data(LineRole).toInt());
    });
    Figures = new QLabel;
    Figures->setWordWrap(true);

    auto* centre = new QWidget;
    auto* centreLayout = new QVBoxLayout(centre);
    centreLayout->setContentsMargins(0, 0, 0, 0);
    auto* textAndFindings = new QSplitter(Qt::Vertical);
    textAndFindings->addWidget(Tabs);
    auto* below = new QWidget;
    auto* belowLayout = new QVBoxLayout(below);
    belowLayout->setContentsMargins(0, 0, 0, 0);
    belowLayout->addWidget(Figures);
    belowLayout->addWidget(new QLabel(Tr("What the check finds (click to go to the line):",
                                         "Что находит проверка (щелчок - к строке):")));
    belowLayout->addWidget(FindingList);
    textAndFindings->addWidget(below);
    textAndFindings->setStretchFactor(0, 3);
    textAndFindings->setStretchFactor(1, 1);
    centreLayout->addWidget(textAndFindings);

    ScreenChoice = new QComboBox;
    for (const char* size : {"1024x768", "1366x768", "1280x1024", "1920x1080"})
        ScreenChoice->addItem(size);
    connect(ScreenChoice, &QComboBox::currentIndexChanged, this, &TEditorWindow::ChooseScreen);
    ExampleView = new TPictureLabel;
    RuleView = new TPictureLabel;
    auto* preview = new QWidget;
    auto* previewLayout = new QVBoxLayout(preview);
    auto* screenRow = new QHBoxLayout;
    screenRow->addWidget(new QLabel(Tr("Pupil's screen:", "Экран ученика:")));
    screenRow->addWidget(ScreenChoice);
    screenRow->addStretch();
    previewLayout->addLayout(screenRow);
    previewLayout->addWidget(
        new QLabel(Tr("The sentence as the pupil sees it:", "Предложение, как его видит ученик:")));
    previewLayout->addWidget(ExampleView);
    previewLayout->addWidget(
        new QLabel(Tr("The rule of this check point:", "Правило этой точки ответа:")));
    previewLayout->addWidget(RuleView);
    previewLayout->addStretch();
    auto* previewScroll = new QScrollArea;
    previewScroll->setWidget(preview);
    previewScroll->setWidgetResizable(true);

    auto* split = new QSplitter;
    split->addWidget(Tree);
    split->addWidget(centre);
    split->addWidget(previewScroll);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    split->setStretchFactor(2, 2);
    setCentralWidget(split);

    RefreshTimer = new QTimer(this);
    RefreshTimer->setSingleShot(true);
    RefreshTimer->setInterval(RefreshDelayMs);
    connect(RefreshTimer, &QTimer::timeout, this, &TEditorWindow::RefreshNow);
    CursorTimer = new QTimer(this);
    CursorTimer->setSingleShot(true);
    CursorTimer->setInterval(120);
    connect(CursorTimer, &QTimer::timeout, this, &TEditorWindow::RefreshPreview);

    BuildMenus();
    ChooseScreen();
    resize(1200, 760);
    UpdateTitle();
}

TEditorWindow::~TEditorWindow() = default;

void TEditorWindow::BuildMenus() {
    QToolBar* bar = addToolBar(Tr("Main", "Главное"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const QString& text, QKeySequence keys, auto slot) {
        QAction* a = bar->addAction(text);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(Tr("New", "Новые"), QKeySequence::New, &TEditorWindow::NewDialog);
    add(Tr("Open...", "Открыть..."), QKeySequence::Open, &TEditorWindow::OpenDialog);
    add(Tr("Save", "Сохранить"), QKeySequence::Save, [this] { Save(); });
    bar->addSeparator();
    QAction* undo = add(Tr("Undo", "Отменить"), QKeySequence::Undo,
                        [this] { (Tabs->currentIndex() == 0 ? VariantEdit : RulesEdit)->undo(); });
    undo->setShortcutContext(Qt::WidgetShortcut); // the editors have their own Ctrl+Z
    bar->addSeparator();
    FindText = new QLineEdit;
    FindText->setPlaceholderText(Tr("Find (Enter: next)", "Найти (Enter - дальше)"));
    FindText->setMaximumWidth(240);
    connect(FindText, &QLineEdit::returnPressed, this, &TEditorWindow::Find);
    bar->addWidget(FindText);
    QAction* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] { FindText->setFocus(); });
    addAction(find);
    bar->addSeparator();
    add(Tr("Install for pupils...", "Установить для учеников..."), QKeySequence(),
        &TEditorWindow::InstallDialog);
}

void TEditorWindow::Tell(const std::string& text, bool error) {
    LastMessage = text;
    statusBar()->showMessage(Q(text), error ? 0 : 8000);
    if (error && isVisible())
        QMessageBox::warning(this, windowTitle(), Q(text));
}

bool TEditorWindow::OpenPath(const std::string& path) {
    try {
        Doc = OpenDocument(path);
    } catch (const std::exception& e) {
        Tell(e.what(), true);
        return false;
    }
    LoadIntoEditors();
    if (Doc.FromPacked)
        Tell(S(Tr("Unpacked the libraries; Save writes their sources as ",
                  "Библиотеки распакованы; «Сохранить» запишет исходные тексты в ")) +
                 Doc.VariantPath + " / " + Doc.RulesPath,
             false);
    return true;
}

void TEditorWindow::NewPair(const std::string& variantPath) {
    try {
        Doc = NewDocument(variantPath);
    } catch (const std::exception& e) {
        Tell(e.what(), true);
        return;
    }
    LoadIntoEditors();
}

void TEditorWindow::LoadIntoEditors() {
    Loading = true;
    // The widget holds LF line ends; TextChanged gives a CR LF file its own back.
    auto lf = [](std::string text) {
        std::string out;
        out.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                out += text[i];
        return out;
    };
    VariantEdit->setPlainText(Q(lf(Doc.VariantText)));
    RulesEdit->setPlainText(Q(lf(Doc.RulesText)));
    Loading = false;
    RefreshNow();
    UpdateTitle();
}

bool TEditorWindow::Save() {
    if (Doc.VariantPath.empty())
        return false;
    try {
        SaveDocument(Doc);
    } catch (const std::exception& e) {
        Tell(e.what(), true);
        return false;
    }
    Tell(S(Tr("Saved ", "Сохранено: ")) + Doc.VariantPath + ", " + Doc.RulesPath, false);
    UpdateTitle();
    return true;
}

bool TEditorWindow::Install(const std::string& folder) {
    RefreshNow();
    std::optional<TInstallTarget> target =
        folder.empty() ? InstalledTarget() : std::optional(TargetInFolder(folder));
    if (!target) {
        Tell(S(Tr("No installed trainer was found on this computer; choose a folder to install "
                  "into.",
                  "Установленный тренажёр не найден; выберите папку для установки.")),
             true);
        return false;
    }
    const TInstallResult result = InstallForPupils(Doc, *target);
    Tell(result.Message, !result.Done);
    return result.Done;
}

void TEditorWindow::TextChanged() {
    if (Loading)
        return;
    // The plain text of the widget is the document; line ends follow the file's.
    auto take = [](QPlainTextEdit* edit, const std::string& saved) {
        const bool crlf = saved.find("\r\n") != std::string::npos;
        std::string text = S(edit->toPlainText());
        if (!crlf)
            return text;
        std::string out;
        out.reserve(text.size() + text.size() / 20);
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    };
    Doc.VariantText = take(VariantEdit, Doc.SavedVariantText);
    Doc.RulesText = take(RulesEdit, Doc.SavedRulesText);
    UpdateTitle();
    RefreshTimer->start();
}

void TEditorWindow::RefreshNow() {
    RefreshTimer->stop();
    RefreshOutline();
    RefreshFindings();
    RefreshPreview();
}

void TEditorWindow::RefreshOutline() {
    Tree->clear();
    QTreeWidgetItem* cls = nullptr;
    QTreeWidgetItem* theme = nullptr;
    for (const TOutlineItem& item : Outline(Doc.VariantText)) {
        QTreeWidgetItem* node = nullptr;
        if (item.Level == TOutlineItem::Class) {
            node = cls = new QTreeWidgetItem(Tree);
            theme = nullptr;
        } else if (item.Level == TOutlineItem::Theme) {
            node = theme = cls ? new QTreeWidgetItem(cls) : new QTreeWidgetItem(Tree);
        } else {
            node = theme ? new QTreeWidgetItem(theme) : new QTreeWidgetItem(Tree);
        }
        node->setText(0, Q(item.Name));
        node->setData(0, LineRole, item.Line);
    }
    Tree->expandToDepth(0);
}

void TEditorWindow::RefreshFindings() {
    FindingList->clear();
    const std::vector<TFinding> findings = Findings(Doc.VariantText, Doc.RulesText);
    if (findings.empty()) {
        auto* ok = new QListWidgetItem(Tr("No findings: the pair can be installed for pupils.",
                                          "Замечаний нет: можно устанавливать для учеников."));
        ok->setForeground(QColor(0, 110, 0));
        FindingList->addItem(ok);
        return;
    }
    for (const TFinding& f : findings) {
        const QString where = (f.Source == TSourceKind::Variants ? Tr("Exercises", "Упражнения")
                                                                 : Tr("Rules", "Правила")) +
                              (f.Line > 0 ? QString(", %1").arg(f.Line) : QString());
        auto* item = new QListWidgetItem(
            QString("%1 (%2): %3")
                .arg(f.Warning ? Tr("warning", "предупреждение") : Tr("error", "ошибка"), where,
                     Q(f.Text)));
        item->setData(LineRole, f.Line);
        item->setData(SourceRole, static_cast<int>(f.Source));
        item->setForeground(f.Warning ? QColor(150, 90, 0) : QColor(180, 0, 0));
        FindingList->addItem(item);
    }
}

void TEditorWindow::RefreshPreview() {
    const QTextCursor cursor = VariantEdit->textCursor();
    const int line = cursor.blockNumber() + 1;
    const int column =
        static_cast<int>(cursor.block().text().left(cursor.positionInBlock()).toUtf8().size());
    if (auto f = FiguresAt(Doc.VariantText, line)) {
        const QString share =
            f->Punctuation
                ? QString("%1 %").arg((f->NothingRight * 100 + f->Punctuation / 2) / f->Punctuation)
                : QString("-");
        Figures->setText(Q(f->Name) + ": " +
                         Tr("%1 sentences, %2 punctuation and %3 spelling points, \"@\" %4, about "
                            "%5 minutes",
                            "предложений: %1, точек: пунктуация %2, орфография %3, \"@\" %4, "
                            "около %5 мин.")
                             .arg(f->Sentences)
                             .arg(f->Punctuation)
                             .arg(f->Spelling)
                             .arg(share)
                             .arg(qRound(f->Minutes)));
    } else
        Figures->setText(Tr("Put the cursor in a variant to see its figures.",
                            "Поставьте курсор в вариант, чтобы увидеть его цифры."));
    if (!Renderer) {
        ExampleView->SetNote(Q(RendererError));
        RuleView->SetNote({});
        return;
    }
    const std::optional<TPointAtCursor> point = PointAt(Doc.VariantText, line, column);
    if (!point) {
        ExampleView->SetNote(Tr("Put the cursor in a sentence to see it as the pupil does.",
                                "Поставьте курсор в предложение, чтобы увидеть его глазами "
                                "ученика."));
        RuleView->SetNote({});
        return;
    }
    // The sentence as the trainer reads it from this source, drawn by the trainer's own code.
    TVariantSource src = ParseVariantSource(Doc.VariantText);
    const TExample* example = nullptr;
    for (const TClass& c : src.Classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples)
                    if (e.Line == point->ExampleLine)
                        example = &e;
    if (example && point->Index < example->CheckPoints.size()) {
        ExampleView->SetPicture(Pixmap(Renderer->Example(*example, point->Index)));
    } else {
        ExampleView->SetNote(Tr("This sentence cannot be read yet: see the findings below.",
                                "Это предложение пока не читается: см. замечания ниже."));
    }
    const TRulesSource rules = ParseRulesSource(Doc.RulesText);
    if (point->Rule.empty())
        RuleView->SetNote(Tr("This check point names no rule.", "У этой точки нет правила."));
    else
        RuleView->SetPicture(
            Pixmap(Renderer->Rule(platform::Utf8ToAnsi(point->Rule), RuleRecordsOf(rules.Rules))));
}

void TEditorWindow::ChooseScreen() {
    TPreviewScreen screen;
    ParsePreviewScreen(S(ScreenChoice->currentText()), screen);
    try {
        Renderer = std::make_unique<TPreviewRenderer>(FontFile, screen);
        RendererError.clear();
    } catch (const std::exception& e) {
        Renderer.reset();
        RendererError = S(Tr("No preview: ", "Нет просмотра: ")) + e.what();
    }
    RefreshPreview();
}

void TEditorWindow::JumpTo(TSourceKind source, int line) {
    QPlainTextEdit* edit = source == TSourceKind::Variants ? VariantEdit : RulesEdit;
    Tabs->setCurrentWidget(edit);
    if (line < 1)
        return;
    QTextCursor c(edit->document()->findBlockByNumber(line - 1));
    edit->setTextCursor(c);
    edit->centerCursor();
    edit->setFocus();
}

void TEditorWindow::Find() {
    QPlainTextEdit* edit = Tabs->currentIndex() == 0 ? VariantEdit : RulesEdit;
    const QString what = FindText->text();
    if (what.isEmpty())
        return;
    if (!edit->find(what)) {
        // From the top again, as a teacher expects of "next".
        edit->moveCursor(QTextCursor::Start);
        if (!edit->find(what))
            Tell(S(Tr("Not found: ", "Не найдено: ") + what), false);
    }
}

void TEditorWindow::UpdateTitle() {
    QString name = Doc.VariantPath.empty() ? Tr("no file", "нет файла")
                                           : QFileInfo(Q(Doc.VariantPath)).fileName();
    setWindowTitle(Tr("Zarvo — exercises", "Zarvo — упражнения") + " — " + name +
                   (Doc.Modified() ? " *" : ""));
}

bool TEditorWindow::ConfirmDiscard() {
    if (!Doc.Modified() || Doc.VariantPath.empty())
        return true;
    const auto answer = QMessageBox::question(
        this, windowTitle(), Tr("Save the changes first?", "Сохранить изменения?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Save)
        return Save();
    return answer == QMessageBox::Discard;
}

void TEditorWindow::closeEvent(QCloseEvent* event) {
    if (ConfirmDiscard())
        event->accept();
    else
        event->ignore();
}

void TEditorWindow::OpenDialog() {
    if (!ConfirmDiscard())
        return;
    const QString file =
        QFileDialog::getOpenFileName(this, Tr("Open exercises", "Открыть упражнения"), QString(),
                                     Tr("Exercises and rules (*.ff.txt *.frf.txt *.ff *.frf)",
                                        "Упражнения и правила (*.ff.txt *.frf.txt *.ff *.frf)"));
    if (!file.isEmpty())
        OpenPath(S(file));
}

void TEditorWindow::NewDialog() {
    if (!ConfirmDiscard())
        return;
    QString file =
        QFileDialog::getSaveFileName(this, Tr("New exercises", "Новые упражнения"), "Zarvo.ff.txt",
                                     Tr("Exercises (*.ff.txt)", "Упражнения (*.ff.txt)"));
    if (file.isEmpty())
        return;
    if (!file.endsWith(".ff.txt"))
        file += ".ff.txt";
    NewPair(S(file));
}

void TEditorWindow::InstallDialog() {
    const std::optional<TInstallTarget> installed = InstalledTarget();
    QMessageBox ask(this);
    ask.setWindowTitle(windowTitle());
    ask.setText(installed ? Tr("Install these exercises for the pupils of this computer?\n",
                               "Установить эти упражнения для учеников этого компьютера?\n") +
                                Q(installed->VarLibFile)
                          : Tr("No installed trainer was found. Choose a folder?",
                               "Установленный тренажёр не найден. Выбрать папку?"));
    QPushButton* here =
        installed ? ask.addButton(Tr("Install", "Установить"), QMessageBox::AcceptRole) : nullptr;
    QPushButton* other =
        ask.addButton(Tr("Choose a folder...", "Выбрать папку..."), QMessageBox::ActionRole);
    ask.addButton(QMessageBox::Cancel);
    ask.exec();
    if (here && ask.clickedButton() == here) {
        Install();
    } else if (ask.clickedButton() == other) {
        const QString folder =
            QFileDialog::getExistingDirectory(this, Tr("Install into", "Установить в папку"));
        if (!folder.isEmpty())
            Install(S(folder));
    }
}
