#pragma once
// The exercise editor's window: the outline of classes, themes and variants, the two sources in
// tabs, the live preview of the sentence and rule under the cursor, and the check's findings.
// What it shows is computed by Document.h and Install.h; the window only lays it out.

#include "Document.h"

#include <QLabel>
#include <QMainWindow>
#include <memory>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTabWidget;
class QTimer;
class QTreeWidget;
class TPreviewRenderer;

// A picture shown whole at the width its panel has, never wider than drawn: the trainer's pictures
// are screen-sized, the editor's panel is a third of a teacher's screen.
class TPictureLabel : public QLabel {
public:
    TPictureLabel();
    void SetPicture(const QPixmap& picture);
    const QPixmap& Picture() const { return Original; }
    void SetNote(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit();
    QPixmap Original;
};

class TEditorWindow : public QMainWindow {
    Q_OBJECT
public:
    // `fontFile` is the bundled font the preview draws with; empty: the installed trainer's.
    explicit TEditorWindow(const std::string& fontFile = {}, QWidget* parent = nullptr);
    ~TEditorWindow() override;

    // Opens a pair (either source or a library); false after telling the teacher why.
    bool OpenPath(const std::string& path);
    void NewPair(const std::string& variantPath);
    bool Save();
    // Installs into the installed trainer's folder, or into `folder` when given.
    bool Install(const std::string& folder = {});

    // Findings and preview follow the text after this pause of typing.
    static constexpr int RefreshDelayMs = 400;

    // For the window's tests.
    QPlainTextEdit* VariantEditor() const { return VariantEdit; }
    QPlainTextEdit* RulesEditor() const { return RulesEdit; }
    QListWidget* FindingsList() const { return FindingList; }
    QTreeWidget* OutlineTree() const { return Tree; }
    TPictureLabel* ExamplePreview() const { return ExampleView; }
    TPictureLabel* RulePreview() const { return RuleView; }
    QLabel* FiguresLabel() const { return Figures; }
    const TEditorDocument& Document() const { return Doc; }
    // Runs the pending refresh at once.
    void RefreshNow();
    std::string LastMessage;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void LoadIntoEditors();
    void TextChanged();
    void RefreshFindings();
    void RefreshOutline();
    void RefreshPreview();
    void JumpTo(TSourceKind source, int line);
    void Find();
    void UpdateTitle();
    bool ConfirmDiscard();
    void Tell(const std::string& text, bool error);
    void ChooseScreen();
    void OpenDialog();
    void NewDialog();
    void InstallDialog();

    TEditorDocument Doc;
    std::string FontFile;
    std::unique_ptr<TPreviewRenderer> Renderer;
    std::string RendererError;
    bool Loading = false;

    QTreeWidget* Tree = nullptr;
    QTabWidget* Tabs = nullptr;
    QPlainTextEdit* VariantEdit = nullptr;
    QPlainTextEdit* RulesEdit = nullptr;
    QListWidget* FindingList = nullptr;
    TPictureLabel* ExampleView = nullptr;
    TPictureLabel* RuleView = nullptr;
    QLabel* Figures = nullptr;
    QComboBox* ScreenChoice = nullptr;
    QLineEdit* FindText = nullptr;
    QTimer* RefreshTimer = nullptr;
    QTimer* CursorTimer = nullptr;
};

// The interface in the teacher's language: Russian on a Russian desktop, English elsewhere.
QString Tr(const char* english, const char* russian);
