#pragma once
// The year of practice as a calendar: one square a day in columns of weeks (Monday on top),
// darker the more reviews it had, today framed. Qt Charts has no such chart, so it paints
// itself; the squares grow with the font, so it reads at any scale.
#include <QDate>
#include <QWidget>

#include <vector>

class CalendarioRepasos : public QWidget {
    Q_OBJECT
public:
    // `porDia`: the reviews of each day up to `hoy`, the oldest first.
    CalendarioRepasos(std::vector<int> porDia, QDate hoy, QWidget* padre = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The shade (0 none, 1–4 darker) of a day's count.
    int Tono(int repasos) const;

protected:
    void paintEvent(QPaintEvent* evento) override;
    bool event(QEvent* evento) override; // a day's count as its tooltip

private:
    int Lado() const;   // a square's side with its gap
    int Margen() const; // room for the weekdays on the left and the months on top
    QRect Casilla(int indice) const;
    int IndiceEn(QPoint punto) const;

    std::vector<int> porDia;
    QDate hoy;
    int primeraColumna; // the weekday (0 Monday) of the first day
    int maximo;
};
