// Filling the report table from what the notes column shows.
#include "apoyo/EntornoPrueba.h"
#include "apoyo/Hijo.h"
#include "apoyo/Interfaz.h"
#include "nucleo/PreparaReporte.h"
#include "nucleo/modTALVEXV20.h"
#include "ui/Ventanas.h"
#include "ui/main/ModeloListaItems.h"
#include "ui/main/ModeloTemas.h"
#include "ui/main/frmMenuPrincipal.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

std::vector<FilaInforme> Filas()
{
    return LeeInforme(modTALVEXV20().RutaReporte);
}

const std::nullopt_t Nada = std::nullopt;
} // namespace

class PruebaPreparaReporte : public QObject {
    Q_OBJECT
private slots:
    void init() { entorno = std::make_unique<EntornoPrueba>(); }
    void cleanup() { entorno.reset(); }
    void unItemDaUnaFila();
    void unTemaDaSuListado();
    void vaciaLoAnteriorYUsaLaCuartaRuta();
    void sinBaseDeInformesTermina();

private:
    std::unique_ptr<EntornoPrueba> entorno;
};

void PruebaPreparaReporte::unItemDaUnaFila()
{
    Arranca(*entorno, {}, {{"house", "casa", "Casa", "x"}});
    QCOMPARE(Hijo<QLabel>(Principal(), "lblNotas")->text(), QStringLiteral("house -> casa"));
    Principal().PreparaReporte();
    QCOMPARE(Filas(), (std::vector<FilaInforme>{{"HOUSE -> CASA", "x", Nada}}));
    QVERIFY(!modTALVEXV20().dbReporte.EstaAbierta());
    QCOMPARE(modTALVEXV20().RutaReporte, entorno->Raiz(0) + "/TALVEXV20/TalvexReport.mdb");
}

void PruebaPreparaReporte::unTemaDaSuListado()
{
    Arranca(*entorno, {{"canción", "Notas\r\nen dos líneas"}, {"Vacío", "nada"}},
            {{"song", "canción", "canción", ""},
             {"a -> b", "flecha", "canción", ""},
             {"Lyrics", "letra", "canción", ""}});
    EligeTema("canción");
    Principal().PreparaReporte();
    const std::vector<FilaInforme> esperadas{{"CANCIÓN", "Notas\r\nen dos líneas", ""},
                                             {Nada, Nada, ""},
                                             {Nada, Nada, "LISTADO:"},
                                             {Nada, Nada, ""},
                                             {Nada, Nada, "a -> b -> flecha"},
                                             {Nada, Nada, "Lyrics -> letra"},
                                             {Nada, Nada, "song -> canción"}};
    QCOMPARE(Filas(), esperadas);
    QCOMPARE(frmMenuPrincipal::FilaSeleccionada(*Hijo<QTreeView>(Principal(), "lvwListaTema")), 2);

    EligeTema("Vacío");
    Principal().PreparaReporte();
    QCOMPARE(Filas(), (std::vector<FilaInforme>{{"VACÍO", "nada", Nada}}));
}

void PruebaPreparaReporte::vaciaLoAnteriorYUsaLaCuartaRuta()
{
    Arranca(*entorno, {}, {{"house", "casa", "", ""}});
    // Only the fourth folder holds the report database, with a dozen old rows.
    const QString cuarta = entorno->Raiz(3) + "/TALVEXV20/TalvexReport.mdb";
    QDir().mkpath(entorno->Raiz(3) + "/TALVEXV20");
    QVERIFY(QFile::rename(entorno->Raiz(0) + "/TALVEXV20/TalvexReport.mdb", cuarta));
    {
        BaseReporte vieja;
        vieja.Abre(cuarta);
        for (int i = 0; i < 12; ++i)
            vieja.AgregaFila({QString::number(i), Nada, Nada});
    }
    Principal().PreparaReporte();
    QCOMPARE(modTALVEXV20().RutaReporte, cuarta);
    QCOMPARE(Filas(), (std::vector<FilaInforme>{{"HOUSE -> CASA", "", Nada}}));
}

void PruebaPreparaReporte::sinBaseDeInformesTermina()
{
    Arranca(*entorno, {}, {{"house", "casa", "", ""}});
    QVERIFY(QFile::remove(entorno->Raiz(0) + "/TALVEXV20/TalvexReport.mdb"));
    entorno->plataforma.respuestas = {RespuestaMensaje::Aceptar};
    QVERIFY_THROWS_EXCEPTION(FinDelPrograma, Principal().PreparaReporte());
    const Mensaje& mensaje = entorno->plataforma.mensajes.last();
    QCOMPARE(mensaje.texto,
             QStringLiteral("¡¡ No se encuentra el archivo : 'TalvexReport.mdb' !!"));
    QCOMPARE(mensaje.icono, IconoMensaje::Critico);
    QCOMPARE(mensaje.titulo, QStringLiteral("TALVEX Ver. 2.0.0"));
    QVERIFY(!modTALVEXV20().dbPrincipal.EstaAbierta());
    QVERIFY(!QFile::exists(entorno->Ruta("TALVEXV20.txt")));
}

QTEST_MAIN(PruebaPreparaReporte)
#include "tst_preparareporte.moc"
