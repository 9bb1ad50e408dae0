#pragma once
// Speech, offline: eSpeak NG turns an English or Spanish text into sound in memory and into
// its phonetic transcription (IPA); Qt Multimedia plays the sound. Nothing else of the
// program sees either library.
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <stdexcept>

class QIODevice;

// A failure of speech, with its Spanish description.
class ErrorVoz : public std::runtime_error {
public:
    explicit ErrorVoz(const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()), descripcion_(descripcion)
    {
    }
    const QString& Descripcion() const { return descripcion_; }

private:
    QString descripcion_;
};

enum class Acento { Britanico, Americano, Espanol };

// Signed 16-bit mono samples.
struct Sonido {
    QByteArray muestras;
    int frecuencia = 0; // samples per second
    qsizetype Cuantas() const { return muestras.size() / 2; }
    double Segundos() const { return frecuencia ? double(Cuantas()) / frecuencia : 0; }
    // The largest absolute sample: 0 is silence.
    int Pico() const;
};

namespace Voz {
// Speaks `texto` into memory, more slowly with `despacio` (for a learner who asks to hear it
// again). Throws ErrorVoz when the voice data are missing. eSpeak keeps one state per process:
// calls from several threads take turns.
Sonido Sintetiza(const QString& texto, Acento acento, bool despacio = false);
// The IPA transcription ("kˈɪtʃən"); throws as Sintetiza does.
QString Fonetica(const QString& texto, Acento acento);
} // namespace Voz

// Writes the sound as a WAV file (RIFF, PCM 16-bit mono).
void EscribeWav(const Sonido& sonido, QIODevice& destino);

class QAudioSink;
class QBuffer;

// Whether this computer has a sound output to play through.
bool HaySalidaSonido();

// Plays one sound at a time through the default sound output; a new one stops the last.
class Reproductor : public QObject {
    Q_OBJECT
public:
    explicit Reproductor(QObject* padre = nullptr);
    ~Reproductor() override;
    // Throws ErrorVoz when there is no sound output or it cannot play the sound.
    void Reproduce(const Sonido& sonido);
    void Detiene();

private:
    std::unique_ptr<QAudioSink> salida_;
    std::unique_ptr<QBuffer> datos_;
};
