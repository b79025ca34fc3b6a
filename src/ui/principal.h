#pragma once

#include "platform/datagramsocket.h"

#include <QWidget>

class QLineEdit;
class QLabel;

namespace ui {

class CaptionLabel;

// The notification window. There is at most one instance, held by the
// program-wide reference: any use of the reference creates the instance,
// hidden and unloaded; the first access to a control loads it, which builds
// the controls and centres the window. Unloading clears the reference, and
// once no window is loaded the program ends.
class Principal : public QWidget
{
    Q_OBJECT

public:
    // The reference: the instance, created (with the application object, the
    // first time) if there is none.
    static Principal &instance();
    // Whether the reference holds an instance. Asking does not create one.
    static bool exists();

    bool isLoaded() const { return m_loaded; }

    CaptionLabel *Label1();
    CaptionLabel *Label2();
    CaptionLabel *Label3();
    QLineEdit *Text1();
    // The datagram socket that carries the answer to the sender.
    platform::DatagramSocket &MensajeEnviar();

    // Runs Form_Unload, then destroys the window and its controls. Does
    // nothing for a window that was never loaded.
    void Unload();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Principal();
    ~Principal() override;

    void load();
    void buildControls();
    // Key preview: the window sees every character key before the control
    // with the focus. Returns true when the key must go no further.
    bool previewKey(qint16 keyAscii);
    // The window's preview first, then the answer box's own handler; the box
    // gets the key only if the window is still loaded after both.
    bool dispatchText1Key(qint16 keyAscii);

    void Form_Load();
    void Form_KeyPress(qint16 &KeyAscii);
    void Form_Unload(int &Cancel);

    bool m_loaded = false;
    CaptionLabel *m_label1 = nullptr;
    CaptionLabel *m_label2 = nullptr;
    CaptionLabel *m_label3 = nullptr;
    QLineEdit *m_text1 = nullptr;
    platform::DatagramSocket m_mensajeEnviar;
};

// The character a key press delivers, as the window's key handlers receive
// it; false for keys that deliver none (arrows, Delete, modifiers).
bool characterCodeOf(const QKeyEvent &event, qint16 &keyAscii);

} // namespace ui
