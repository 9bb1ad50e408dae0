#pragma once
// Length limits of the boxes counted in characters. A character beyond the Basic
// Multilingual Plane (most emoji) takes two UTF-16 units: a limit counted in units would
// cut it in half, and half a character cannot be stored.
#include "data/Caracteres.h"

#include <QValidator>

class QLineEdit;

class LimiteCaracteres : public QValidator {
    Q_OBJECT
public:
    // Recorta: what is typed or pasted past the limit is cut off, as a maximum length would;
    // Rechaza: the change is refused, so that a longer text the program sets stays whole.
    enum class Exceso { Recorta, Rechaza };
    LimiteCaracteres(int limite, Exceso exceso, QObject* padre);

    int Limite() const { return limite_; }
    void CambiaLimite(int limite) { limite_ = limite; }
    State validate(QString& texto, int& posicion) const override;

private:
    int limite_;
    Exceso exceso_;
};

// Puts the limit on the box in place of its maximum length, which counts units.
void LimitaCaracteres(QLineEdit& caja, int limite, LimiteCaracteres::Exceso exceso);
// The limit on the box (0 when it has none).
int LimiteDe(const QLineEdit& caja);
