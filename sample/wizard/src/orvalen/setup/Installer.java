package orvalen.setup;

import java.io.File;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.io.OutputStreamWriter;
import java.io.Writer;
import java.net.URISyntaxException;
import java.util.Enumeration;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;

/** What installing and removing Orvalen 14 does to the machine. */
final class Installer {
    static final String PRODUCT = "Orvalen 14";
    static final String UNINSTALL_KEY =
            "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\5C2D8E4A9B7F1E3D6A0C4B8F2E7D9A15-R1";
    static final String UNINSTALL_FOLDER = "Uninstall";
    static final String MARKER = "uninstall.dat";
    static final String LAUNCHER = "wizstart.exe";
    // Files of the launcher's folder that make up the uninstall program.
    static final String[] UNINSTALL_FILES = {LAUNCHER, "archive.jar", "archive.gif"};
    private static final String PRODUCT_PREFIX = "product/";

    /** Reports progress, 0 to 100, with a line of text. */
    interface Progress {
        void step(int percent, String text);
    }

    private Installer() {
    }

    /** The folder the wizard runs in: the disc, or the product's uninstall folder. */
    static File currentFolder() {
        return new File(System.getProperty("user.dir")).getAbsoluteFile();
    }

    static boolean isUninstall() {
        return new File(currentFolder(), MARKER).isFile();
    }

    /** The installed product's folder: the parent of the uninstall folder. */
    static File installedFolder() {
        File parent = currentFolder().getParentFile();
        return parent != null ? parent : currentFolder();
    }

    /** Copies the product and its uninstall program into the folder and registers it. */
    static void install(String windowsFolder, Progress progress) throws IOException {
        File target = Platform.localFile(windowsFolder);
        progress.step(5, "Creating " + windowsFolder);
        makeFolder(target);

        progress.step(15, "Copying the product files");
        copyProductFiles(target);

        progress.step(50, "Copying the uninstall program");
        File uninstall = new File(target, UNINSTALL_FOLDER);
        makeFolder(uninstall);
        File source = currentFolder();
        for (String name : UNINSTALL_FILES) {
            File from = new File(source, name);
            if (from.isFile()) {
                copy(from, new File(uninstall, name));
            } else if (!name.endsWith(".gif")) {
                throw new IOException(name + " is missing in " + source);
            }
        }
        writeText(new File(uninstall, MARKER), windowsFolder + "\r\n");

        progress.step(75, "Registering " + PRODUCT);
        String launcher = windowsFolder + "\\" + UNINSTALL_FOLDER + "\\" + LAUNCHER;
        setValue("DisplayName", PRODUCT);
        setValue("UninstallString", launcher);
        setValue("DisplayIcon", launcher);
        setValue("DisplayVersion", "14.0");
        setValue("Publisher", "Orvalen");
        setValue("InstallLocation", windowsFolder);
        progress.step(100, PRODUCT + " has been installed in " + windowsFolder + ".");
    }

    /**
     * Deletes the product and its key, and leaves the uninstall folder's files
     * to a script that deletes them once the launcher and Java have let go.
     */
    static void uninstall(Progress progress) throws IOException {
        File product = installedFolder();
        File uninstall = currentFolder();
        progress.step(10, "Removing the product files");
        File[] children = product.listFiles();
        if (children != null) {
            for (File child : children) {
                if (!child.equals(uninstall)) {
                    delete(child);
                }
            }
        }

        progress.step(60, "Removing the registration");
        Platform.run(registryCommand("delete", UNINSTALL_KEY, "/f"));

        progress.step(80, "Arranging the removal of the uninstall program");
        scheduleFolderEmptying(Platform.windowsPath(uninstall));
        progress.step(100, PRODUCT + " has been removed.");
    }

    private static void setValue(String name, String data) throws IOException {
        if (Platform.run(registryCommand("add", UNINSTALL_KEY, "/v", name, "/t", "REG_SZ", "/d", data, "/f")) != 0) {
            throw new IOException("cannot write " + name + " under " + UNINSTALL_KEY);
        }
    }

    // reg.exe in the 32-bit registry view. Windows XP and older know only one
    // view, and their reg.exe refuses the option.
    private static String[] registryCommand(String... arguments) {
        boolean oneView = !Platform.WINE && System.getProperty("os.version", "").matches("[1-5]\\..*");
        String[] command = new String[arguments.length + (oneView ? 1 : 2)];
        command[0] = "reg";
        System.arraycopy(arguments, 0, command, 1, arguments.length);
        if (!oneView) {
            command[command.length - 1] = "/reg:32";
        }
        return command;
    }

    // Every entry under product/ in this program's own archive.
    private static void copyProductFiles(File target) throws IOException {
        JarFile jar = new JarFile(ownArchive());
        try {
            Enumeration<JarEntry> entries = jar.entries();
            while (entries.hasMoreElements()) {
                JarEntry entry = entries.nextElement();
                String name = entry.getName();
                if (!name.startsWith(PRODUCT_PREFIX) || name.length() == PRODUCT_PREFIX.length()
                        || name.contains("..")) {
                    continue;
                }
                File out = new File(target, name.substring(PRODUCT_PREFIX.length()));
                if (entry.isDirectory()) {
                    makeFolder(out);
                    continue;
                }
                makeFolder(out.getParentFile());
                InputStream in = jar.getInputStream(entry);
                try {
                    write(in, out);
                } finally {
                    in.close();
                }
            }
        } finally {
            jar.close();
        }
    }

    private static File ownArchive() throws IOException {
        try {
            return new File(Installer.class.getProtectionDomain().getCodeSource().getLocation().toURI());
        } catch (URISyntaxException e) {
            throw new IOException("cannot find the wizard's archive", e);
        }
    }

    // A script in the system's temporary folder that deletes the folder's files
    // once a second for two minutes until none is left, then deletes itself.
    // It looks into the folder only for a moment, so that it never holds it.
    private static void scheduleFolderEmptying(String windowsFolder) throws IOException {
        File script = new File(Platform.systemTempFolder(), "orvalen14-uninstall.cmd");
        writeText(script, "@echo off\r\n"
                + "set tries=0\r\n"
                + ":again\r\n"
                + "if not exist \"" + windowsFolder + "\\\" goto done\r\n"
                + "del /f /q \"" + windowsFolder + "\\*\" >nul 2>&1\r\n"
                + "set left=\r\n"
                + "pushd \"" + windowsFolder + "\"\r\n"
                + "for %%f in (*) do set left=1\r\n"
                + "popd\r\n"
                + "if not defined left goto done\r\n"
                + "set /a tries+=1\r\n"
                + "if %tries% geq 120 goto done\r\n"
                + "ping -n 2 127.0.0.1 >nul\r\n"
                + "goto again\r\n"
                + ":done\r\n"
                + "del \"%~f0\"\r\n");
        if (!Platform.startDetached("cmd.exe", "/c", Platform.windowsPath(script))) {
            throw new IOException("cannot start cmd.exe");
        }
    }

    private static void makeFolder(File folder) throws IOException {
        if (!folder.isDirectory() && !folder.mkdirs()) {
            throw new IOException("cannot create " + folder);
        }
    }

    private static void copy(File from, File to) throws IOException {
        InputStream in = new java.io.FileInputStream(from);
        try {
            write(in, to);
        } finally {
            in.close();
        }
    }

    private static void write(InputStream in, File to) throws IOException {
        OutputStream out = new FileOutputStream(to);
        try {
            byte[] buffer = new byte[65536];
            for (int n; (n = in.read(buffer)) > 0;) {
                out.write(buffer, 0, n);
            }
        } finally {
            out.close();
        }
    }

    private static void writeText(File file, String text) throws IOException {
        Writer out = new OutputStreamWriter(new FileOutputStream(file), "windows-1252");
        try {
            out.write(text);
        } finally {
            out.close();
        }
    }

    // Deletes a file, or a folder with everything in it (links are not followed).
    private static void delete(File file) throws IOException {
        if (file.isDirectory() && !java.nio.file.Files.isSymbolicLink(file.toPath())) {
            File[] children = file.listFiles();
            if (children != null) {
                for (File child : children) {
                    delete(child);
                }
            }
        }
        if (!file.delete() && file.exists()) {
            throw new IOException("cannot delete " + file);
        }
    }
}
