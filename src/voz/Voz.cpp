#include "voz/Voz.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QFile>
#include <QMediaDevices>
#include <QtEndian>

#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex& Turno()
{
    static std::mutex turno;
    return turno;
}

const char* NombreVoz(Acento acento)
{
    switch (acento) {
    case Acento::Britanico:
        return "en"; // eSpeak NG's English is British
    case Acento::Americano:
        return "en-us";
    case Acento::Espanol:
        return "es";
    }
    return "en";
}

// Starts the engine once (under the turn) and selects the voice; returns its sample rate.
int Prepara(Acento acento)
{
    static int frecuencia = 0;
    static bool intentado = false;
    if (!intentado) {
        intentado = true;
        frecuencia =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    }
    if (frecuencia <= 0)
        throw ErrorVoz(QStringLiteral("No se encuentran los datos de las voces (espeak-ng-data): "
                                      "instale el paquete espeak-ng-data."));
    if (espeak_SetVoiceByName(NombreVoz(acento)) != EE_OK)
        throw ErrorVoz(QStringLiteral("No está instalada la voz «%1» de eSpeak NG.")
                           .arg(QLatin1String(NombreVoz(acento))));
    return frecuencia;
}

int RecibeMuestras(short* muestras, int cuantas, espeak_EVENT* eventos)
{
    auto* destino = static_cast<QByteArray*>(eventos ? eventos->user_data : nullptr);
    if (destino && muestras && cuantas > 0)
        destino->append(reinterpret_cast<const char*>(muestras), qsizetype(cuantas) * 2);
    return 0; // go on
}

} // namespace

int Sonido::Pico() const
{
    int pico = 0;
    const auto* datos = reinterpret_cast<const qint16*>(muestras.constData());
    for (qsizetype i = 0; i < Cuantas(); ++i)
        pico = std::max(pico, std::abs(int(datos[i])));
    return pico;
}

Sonido Voz::Sintetiza(const QString& texto, Acento acento, bool despacio)
{
    std::lock_guard<std::mutex> turno(Turno());
    Sonido sonido;
    sonido.frecuencia = Prepara(acento);
    // Words per minute: eSpeak's usual pace, or about two thirds of it.
    espeak_SetParameter(espeakRATE, despacio ? 120 : espeakRATE_NORMAL, 0);
    espeak_SetSynthCallback(RecibeMuestras);
    const QByteArray utf8 = texto.toUtf8();
    if (espeak_Synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, &sonido.muestras) != EE_OK)
        throw ErrorVoz(QStringLiteral("eSpeak NG no pudo pronunciar el texto."));
    return sonido;
}

QString Voz::Fonetica(const QString& texto, Acento acento)
{
    std::lock_guard<std::mutex> turno(Turno());
    Prepara(acento);
    const QByteArray utf8 = texto.toUtf8();
    const void* resto = utf8.constData();
    QStringList partes;
    while (resto) {
        // One clause at a time (up to a comma or the end of a sentence); bit 1: IPA.
        const char* fonemas = espeak_TextToPhonemes(&resto, espeakCHARS_UTF8, 0x02);
        const QString parte = QString::fromUtf8(fonemas ? fonemas : "").trimmed();
        if (!parte.isEmpty())
            partes << parte;
    }
    return partes.join(QLatin1Char(' '));
}

void EscribeWav(const Sonido& sonido, QIODevice& destino)
{
    const auto n32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const auto n16 = [](quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    const auto datos = quint32(sonido.muestras.size());
    QByteArray cabecera = "RIFF" + n32(36 + datos) + "WAVEfmt " + n32(16) + n16(1) + n16(1) +
                          n32(quint32(sonido.frecuencia)) + n32(quint32(sonido.frecuencia) * 2) +
                          n16(2) + n16(16) + "data" + n32(datos);
    destino.write(cabecera);
    destino.write(sonido.muestras); // the samples are little-endian already on this platform
}

bool HaySalidaSonido()
{
    return !QMediaDevices::defaultAudioOutput().isNull();
}

Reproductor::Reproductor(QObject* padre) : QObject(padre) {}
Reproductor::~Reproductor() = default;

void Reproductor::Detiene()
{
    if (salida_)
        salida_->stop();
    salida_.reset();
    datos_.reset();
}

void Reproductor::Reproduce(const Sonido& sonido)
{
    Detiene();
    const QAudioDevice dispositivo = QMediaDevices::defaultAudioOutput();
    if (dispositivo.isNull())
        throw ErrorVoz(QStringLiteral("No hay ninguna salida de sonido en este equipo."));
    QAudioFormat formato;
    formato.setSampleRate(sonido.frecuencia);
    formato.setChannelCount(1);
    formato.setSampleFormat(QAudioFormat::Int16);
    if (!dispositivo.isFormatSupported(formato))
        throw ErrorVoz(QStringLiteral("La salida de sonido «%1» no admite el sonido de la voz.")
                           .arg(dispositivo.description()));
    datos_ = std::make_unique<QBuffer>();
    datos_->setData(sonido.muestras);
    datos_->open(QIODevice::ReadOnly);
    salida_ = std::make_unique<QAudioSink>(dispositivo, formato);
    salida_->start(datos_.get());
    if (salida_->error() == QAudio::OpenError)
        throw ErrorVoz(QStringLiteral("No se pudo abrir la salida de sonido «%1».")
                           .arg(dispositivo.description()));
}
