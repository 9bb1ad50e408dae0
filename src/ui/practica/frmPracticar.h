#pragma once
// "Practicar": the vocabulary reviewed with spaced repetition. A start page (what to practise,
// which kinds, the mode and what is due today), then one card after another, shown and rated,
// typed, or heard and typed, and a summary when nothing is left. Every answer is saved before
// the next card is shown, so the window may be closed (Escape) at any moment and nothing given
// is lost; Ctrl+Z takes the last answer back.
#include "repaso/Respuesta.h"
#include "repaso/Sesion.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class BaseVocabulario;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;

class frmPracticar : public QWidget {
    Q_OBJECT
public:
    // What the window needs of speech: saying an English text (more slowly when asked again),
    // its IPA, and whether there is a sound output at all (without one, no dictation).
    struct Habla {
        std::function<void(const QString& ingles, bool despacio)> dice;
        std::function<QString(const QString& ingles)> fonetica;
        bool conSonido = false;
    };
    // `temas`: the topics offered; `tema`: the one chosen at first (none: the whole vocabulary).
    // `base` must outlive the window.
    frmPracticar(BaseVocabulario& base, const QStringList& temas,
                 const std::optional<QString>& tema, Habla habla);
    ~frmPracticar() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    // The card shown: its question, or its answer with the ratings.
    enum class Fase { Pregunta, Respuesta };

    QWidget* CreaInicio();
    QWidget* CreaTarjeta();
    QWidget* CreaResumen();
    bool AtiendeTecla(int tecla, Qt::KeyboardModifiers modificadores);

    // Start page.
    Repaso::Eleccion EleccionElegida() const;
    Repaso::Modo ModoElegido() const;
    void ActualizaCuenta();
    void Comienza();
    void AbreAjustes();

    // The cards.
    void MuestraSiguiente();
    void MuestraRespuesta();
    void Comprueba();
    void MuestraCalificaciones();
    void Propone(Repaso::Calificacion calificacion);
    void Responde(Repaso::Calificacion calificacion);
    void Deshace();
    void Escucha();
    // Says the card's English, if there is a sound output.
    void Dice(bool despacio);
    bool InglesALaVista() const;
    // The English's IPA under the question (none: hidden).
    void MuestraFonetica(bool mostrar);
    QString Correcta() const;

    // The summary and "Practicar más".
    void MuestraResumen();
    void PracticaMas();
    // The statistics of what was practised, over this window.
    void AbreEstadisticas();

    static qint64 Ahora();

    BaseVocabulario& base_;
    Repaso::AlmacenRepasos almacen_;
    Repaso::AjustesRepaso ajustes_;
    Habla habla_;
    std::unique_ptr<Repaso::Sesion> sesion_;
    Repaso::Modo modo_ = Repaso::Modo::Tarjetas;
    std::optional<Repaso::TarjetaItem> actual_;
    Fase fase_ = Fase::Pregunta;
    Repaso::Calificacion propuesta_ = Repaso::Calificacion::Bien;
    QElapsedTimer reloj_;    // time on the card shown
    int vecesEscuchada_ = 0; // presses of F5 on the card shown

    QStackedWidget* paginas_;
    // Start page.
    QComboBox* cboTema;
    QComboBox* cboTipo;
    QRadioButton* optTarjetas;
    QRadioButton* optEscrito;
    QLabel* lblSinSonido;
    QLabel* lblNuevas;
    QLabel* lblAprendiendo;
    QLabel* lblRepaso;
    QPushButton* cmdAjustes;
    QPushButton* cmdComenzar;
    // The cards.
    QLabel* lblProgreso;
    QLabel* lblIndicacion;
    QLabel* lblPregunta;
    QLabel* lblFonetica;
    QPushButton* cmdEscuchar;
    QLineEdit* txtRespuesta;
    QLabel* lblJuicio;
    QLabel* lblEscrita;
    QLabel* lblRespuesta;
    QLabel* lblTema;
    QPlainTextEdit* txtNotas;
    QPushButton* cmdMostrar;
    std::array<QPushButton*, 4> cmdCalificaciones{};
    // The summary.
    QLabel* lblTituloResumen;
    QLabel* lblResumen;
    QComboBox* cboMas;
    QPushButton* cmdMas;
    QPushButton* cmdInicio;
    QPushButton* cmdEstadisticas;
    QPushButton* cmdCerrar;
};
