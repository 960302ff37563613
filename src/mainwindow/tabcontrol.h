// The main window's tab control: three tabs in one row on dark red. It knows where its pages
// start, so that page contents are placed in the control's own coordinates, tab strip included.
#pragma once

#include <QTabWidget>

class TabControl : public QTabWidget
{
    Q_OBJECT
public:
    explicit TabControl(QWidget *parent);
    QPoint pageOrigin() const;
    // Adds a page whose contents widget is laid out in the tab control's coordinates.
    void addCanvasPage(QWidget *canvas, const QString &caption);
    // The caption of the tab in front, by which the page switching tells the pages apart.
    QString currentCaption() const { return tabText(currentIndex()); }

protected:
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void placeCanvases();

    QList<QWidget *> m_canvases;
};
