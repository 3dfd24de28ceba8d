// Every text of the program, in one place. The program's own texts are
// Spanish, written as CP1252 bytes, the code page of the platform boundary.
#pragma once
#include <stddef.h>

namespace txt {

// Registry layer.
const char kNotFound[] = "Not Found";

// Watched places.
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunServicesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const char kShellFoldersKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell folders";
const char kStartupValue[] = "Startup";
const char kOpenCommandKey[] = "exefile\\shell\\open\\command";
const char kStandardOpenCommand[] = "\"%1\" %*";
const char kAllFiles[] = "\\*.*";
const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kPoliciesRunKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run";
const char kCommonStartupValue[] = "Common Startup";
// The user's classes; past the first kClases characters each is the machine's
// key of the same type, as HKEY_CLASSES_ROOT names it.
const size_t kClases = 17;
const char kClasesExe[] = "Software\\Classes\\exefile\\shell\\open\\command";
const char kClasesCom[] = "Software\\Classes\\comfile\\shell\\open\\command";
const char kClasesBat[] = "Software\\Classes\\batfile\\shell\\open\\command";
const char kClasesCmd[] = "Software\\Classes\\cmdfile\\shell\\open\\command";
const char kClasesPif[] = "Software\\Classes\\piffile\\shell\\open\\command";
const char kClasesScr[] = "Software\\Classes\\scrfile\\shell\\open\\command";
const char kStandardScrCommand[] = "\"%1\" /S";
const char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char kWindowsKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const char kShellValue[] = "Shell";
const char kStandardShell[] = "explorer.exe";
const char kUserinitValue[] = "Userinit";
// Below the system folder; its trailing comma may be there or not.
const char kStandardUserinit[] = "\\userinit.exe,";
const char kLoadValue[] = "Load";
const char kRunValue[] = "Run";
// Automatic services and the hijack points after them.
const char kServicesKey[] = "SYSTEM\\CurrentControlSet\\Services";
const char kTypeValue[] = "Type";
const char kStartValue[] = "Start";
const char kImagePathValue[] = "ImagePath";
const char kParametersKey[] = "Parameters";
const char kServiceDllValue[] = "ServiceDll";
const char kIfeoKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options";
const char kDebuggerValue[] = "Debugger";
const char kAppInitValue[] = "AppInit_DLLs";
const char kCommandProcessorKey[] = "Software\\Microsoft\\Command Processor";
const char kAutoRunValue[] = "AutoRun";
const char kActiveSetupKey[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components";
const char kStubPathValue[] = "StubPath";
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kBootExecuteValue[] = "BootExecute";
const char kStandardBootExecute[] = "autocheck autochk *";

// Data file.
const char kDataFile[] = "c:\\windows\\ximvar.dat";

// Entry table.
const char kHeaderNombre[] = "NOMBRE";
const char kHeaderRuta[] = "RUTA";
const char kHeaderValidado[] = "Validado";
const char kSi[] = "SI";
const char kNo[] = "NO";
const char kView64[] = "64";
const char kView32[] = "32";

// Alert of the check.
const char kAlertCaption[] = "Centinela";
const char kAlertText[] =
    "Atenci\xf3n: Centinela de Ximvar ha detectado que uno o varios programas se han instalado "
    "en el registro de inicio. Abra el programa y verifique que son programas que usted conoce, "
    "o de lo contrario, eliminelos del arranque para mantener este limpio de aplicaciones "
    "indeseadas.";

// Confirmations of the two actions.
const char kValidarCaption[] = "Validar...";
const char kValidarText[] =
    "Atenci\xf3n: si marca este programa como v\xe1lido, no se le preguntar\xe1 mas por el y por "
    "tanto, se ejecutar\xe1 cada vez que inicie Windows.\r\n"
    "Por tanto, m\xe1rquelo SOLO SI ESTA TOTALMENTE SEGURO QUE NO SE TRATA DE UN VIRUS.\r\n"
    "\xbf" "Est\xe1 seguro de querer marcarlo como v\xe1lido?";
// Before the same warning when several rows are selected: the count between.
const char kValidarVariosBefore[] = "Va a marcar como v\xe1lidas ";
const char kValidarVariosAfter[] = " entradas a la vez.\r\n";
const char kEliminarCaption[] = "Eliminar...";
const char kEliminarVarios[] =
    "Hay varias entradas seleccionadas: seleccione solo la que quiera eliminar del inicio.";
const char kEliminarTextBefore[] =
    "Atenci\xf3n: si elimina este programa del inicio, solo dejar\xe1 de arrancarse al iniciar "
    "Windows, pero no se eliminar\xe1 del disco duro. Si se trata de un virus, deber\xe1 eliminar "
    "el fichero manualmente. Su ubicaci\xf3n es:\r\n";
const char kEliminarTextAfter[] = "\r\n\xbf" "Est\xe1 seguro de querer eliminarlo del arranque?";

// A removal that did not take effect: opening, the entry's name, one of the
// endings.
const char kNoEliminadoBefore[] = "No se ha podido eliminar \"";
const char kNoEliminadoSigue[] = "\" del inicio: sigue registrado.";
const char kNoEliminadoFichero[] = "\" del inicio: ";
const char kNoEliminadoCarpeta[] =
    "\" del inicio: la carpeta de inicio ha cambiado desde la \xfaltima lectura.";
const char kNoEliminadoNombre[] = "\" del inicio: el nombre no es el de un fichero.";

// A save of the data file that failed.
const char kGuardarCaption[] = "Validar...";
const char kGuardarFallo[] = "No se ha podido guardar en el fichero de datos ";

}  // namespace txt

namespace txt {

// Start-up.
const char kAppTitle[] = "Centinela";
const char kFicheroFallo[] = "No se puede abrir ni crear el fichero de datos ";

// Main window.
const char kForm1Caption[] =
    "Ximvar Centinela - Software de supervisi\xf3n del Registro de Windows 9x/ME";
const char kLabel1[] = "Aplicaciones que actualmente se ejecutan al arrancar Microsoft Windows:";
const char kLabel2[] = "Programa seleccionado:";
// The & marks each button's access key (Alt+M, Alt+E), drawn underlined.
const char kBtnValidar[] = "&Marcar como v\xe1lido";
const char kCommand3[] = "&Eliminar del inicio";
const char kCommand2[] = "?";
const char kCommand1[] = "Ocultar";
// A table row as a screen reader hears it: "NOMBRE: x, RUTA: y, Validado: NO".
const char kTrasCabecera[] = ": ";
const char kEntreCeldas[] = ", ";

// Tray.
const char kTrayTip[] = "Ximvar Serveis - Centinela";
const char kMnuAcerca[] = "Abrir";
const char kMnuIniciar[] = "&Iniciar con Windows";
const char kMnuSalir[] = "Cerrar";
const char kIniciarFallo[] =
    "No se ha podido cambiar el inicio de Centinela con Windows: el Registro no lo permite.";

// About box.
const char kAyudaCaptionPrefix[] = "Acerca de ";
const char kLblTitle[] =
    "Ximvar Centinela 1.0 \xe9s una peque\xf1" "a aplicaci\xf3n para Windows hecha \xedntegramente "
    "por algunos de los programadores de Ximvar en su tiempo libre.";
const char kAyudaLabel1[] =
    "Su objetivo \xe9s intentar ayudar a todos aquellos usuarios que vean desesperados como "
    "docenas de peque\xf1" "as aplicaciones se ejecutan cada vez que arrancan su ordenador, "
    "disminuyendo la cantidad de memoria disponible y disminuyendo la velocidad del mismo. "
    "Centinela mantiene limpio el arranque de Windows, eliminando de este todas aquellas "
    "aplicaciones que el usuario no conozca o no quiera que se ejecuten, incluidos los virus "
    "como Sircam32, MTX_, Loveletter, Kournikova, Wininit, etc...";
const char kAyudaLabel2[] =
    "Centinela debe instalarse en el men\xfa inicio, de manera que est\xe9 residente en el "
    "sistema. Al tener solo 60Ks. de tama\xf1o, apenas afecta al rendimiento del ordenador. "
    "Centinela mantendr\xe1 vigilados en todo momento 6 puntos vitales del registro de Windows, "
    "y nos avisar\xe1 cada vez que una aplicaci\xf3n intente instalarse all\xed. En ese momento "
    "deberemos decidir si autorizamos que dicho programa se instale como residente, o si por el "
    "contrario, no queremos que se ejecute al arrancar nuestro ordenador. En ning\xfan momento "
    "se borrar\xe1 ni desinstalar\xe1 ning\xfan fichero, solamente se impedir\xe1 que se ejecute "
    "permanentemente. Si el usuario quiere eliminar dicho fichero deber\xe1 hacerlo "
    "manualmente, ya que lo que se pretende es solo mantener LIMPIO el arranque.";
const char kLblDisclaimer[] =
    "Si le ha gustado este programa, visite nuestra web www.ximvar.com y pruebe nuestros "
    "programas comerciales.";
const char kCmdOK[] = "Aceptar";
const char kCmdSysInfo[] = "&Info. del sistema...";
const char kSysInfoNoDisponible[] =
    "La informaci\xf3n del sistema no est\xe1 disponible en este momento";
const char kMsinfoKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kMsinfoPathValue[] = "PATH";
const char kMsinfoLocationKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
const char kMsinfoLocationValue[] = "MSINFO";
const char kMsinfoExe[] = "\\MSINFO32.EXE";

// Reasons the system gives for a file operation that failed.
const char kErrArchivoNoEncontrado[] = "No se encuentra el archivo.";
const char kErrRutaNoEncontrada[] = "No se encuentra la ruta de acceso.";
const char kErrAccesoDenegado[] = "Acceso denegado.";
const char kErrProtegidoEscritura[] = "El disco est\xe1 protegido contra escritura.";
const char kErrEnUso[] = "El archivo est\xe1 siendo utilizado por otro proceso.";
const char kErrDiscoLleno[] = "No hay espacio suficiente en el disco.";
const char kErrNombreNoValido[] = "El nombre del archivo o de la ruta de acceso no es v\xe1lido.";
const char kErrSigueAhi[] = "El archivo sigue en su sitio.";
const char kErrSistemaBefore[] = "Error del sistema ";
const char kErrSistemaAfter[] = ".";

}  // namespace txt

namespace txt {

// Names the system holds exactly but the code page cannot show: the mark a NUL
// shows as, and a removal that cannot name its entry to the system.
const char kMarcaNul = '\xa4';
const char kNoEliminadoExacto[] =
    "\" del inicio: su nombre no se puede indicar exactamente a este sistema.";

}  // namespace txt

namespace txt {

// The data file's second place, for whoever cannot write the system folder:
// the user's application-data folder, as the Shell folders key names it.
const char kAppDataValue[] = "AppData";
const char kDataFileName[] = "\\ximvar.dat";

}  // namespace txt
