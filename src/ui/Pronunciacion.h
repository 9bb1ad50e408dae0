#pragma once
// The program's speech: the English accent chosen (kept in the vocabulary database's own
// settings), the speaker buttons, and the one message said when speech cannot work here,
// after which every speaker button stays disabled. Synthesis takes a few milliseconds for a
// sentence, so it runs on the user-interface thread; playback goes on by itself.
#include "voz/Voz.h"

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;

class Pronunciacion : public QObject {
    Q_OBJECT
public:
    explicit Pronunciacion(QObject* padre = nullptr);

    // British (the default) or American English.
    bool Britanica() const;
    void CambiaBritanica(bool britanica);

    // Speaks the English (or Spanish) text, more slowly with `despacio`; a text of blanks says
    // nothing.
    void Escucha(const QString& texto, bool espanol = false, bool despacio = false);
    // The IPA transcription of an English text; empty when speech cannot work here.
    QString Fonetica(const QString& ingles) const;

    // A speaker control, disabled when speech failed once.
    void Registra(QAction* accion);
    bool Disponible() const { return disponible_; }

private:
    Acento AcentoIngles() const;
    void Falla(const ErrorVoz& error);

    Reproductor reproductor_;
    bool disponible_ = true;
    QList<QPointer<QAction>> controles_;
};
