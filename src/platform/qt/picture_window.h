#pragma once

#include "platform/ui.h"

#include <QDialog>
#include <QImage>

namespace gim {

// The picture on a new white image of the window's panel size, at 96 dots per inch.
QImage RenderPicture(const PictureWindow& window);

// The chart window "TWplan": the picture on its panel and the buttons "&IMPRIMIR" (prints the window, then
// closes it), "SAL&VAR" and "&SALIR". Object names: "panel", "BitBtn1", "BitBtn3", "BitBtn2".
class PictureWindowDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit PictureWindowDialog(const PictureWindow& window, QWidget* parent = nullptr);

    PictureWindowResult Result() const { return m_result; }
    const QImage& Picture() const { return m_picture; }

private:
    void Close(PictureWindowResult result);
    void Print();

    QImage m_picture;
    PictureWindowResult m_result = PictureWindowResult::Exit;
};

} // namespace gim
