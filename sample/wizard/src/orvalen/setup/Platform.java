package orvalen.setup;

import java.io.BufferedReader;
import java.io.File;
import java.io.IOException;
import java.io.InputStreamReader;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/**
 * The Windows programs the wizard relies on (reg.exe, cmd.exe) and its paths.
 * On Windows they are used directly. Started through the demo's Java bridge
 * (a Unix Java under Wine, told by WINE_JAVA_BRIDGE=1), the wizard does the
 * same inside the Wine prefix: "wine reg ...", "wine cmd ...", and paths
 * translated with "wine winepath". The Wine loader is the one that runs the
 * bridge (WINE_JAVA_BRIDGE_LOADER: the 64-bit one where the host cannot run
 * 32-bit programs), else "wine".
 */
final class Platform {
    static final boolean WINE = "1".equals(System.getenv("WINE_JAVA_BRIDGE"));

    // Output nobody reads (ProcessBuilder.Redirect.DISCARD is newer than Java 8).
    private static final ProcessBuilder.Redirect DISCARD = ProcessBuilder.Redirect.to(
            new File(File.separatorChar == '\\' ? "NUL" : "/dev/null"));

    private Platform() {
    }

    /** The file this program can open for a Windows path. */
    static File localFile(String windowsPath) throws IOException {
        if (!WINE) {
            return new File(windowsPath);
        }
        String unix = output(wineLoader(), "winepath", "-u", windowsPath);
        if (unix.isEmpty()) {
            throw new IOException("cannot translate " + windowsPath);
        }
        return new File(unix);
    }

    /** The Windows path of a file this program has opened. */
    static String windowsPath(File file) throws IOException {
        if (!WINE) {
            return file.getAbsolutePath();
        }
        String windows = output(wineLoader(), "winepath", "-w", file.getAbsolutePath());
        if (windows.isEmpty()) {
            throw new IOException("cannot translate " + file);
        }
        return windows;
    }

    /** The folder Windows programs are installed in. */
    static String programFilesFolder() {
        String folder = WINE ? null : System.getenv("ProgramFiles");
        return folder == null || folder.isEmpty() ? "C:\\Program Files" : folder;
    }

    /** The system's temporary folder, where the wizard leaves its clean-up script. */
    static File systemTempFolder() throws IOException {
        if (WINE) {
            return localFile("C:\\windows\\Temp");
        }
        String temp = System.getenv("TEMP");
        return new File(temp == null || temp.isEmpty() ? System.getProperty("java.io.tmpdir") : temp);
    }

    /** Runs a Windows program and waits for it; its exit code, or -1. */
    static int run(String... command) {
        try {
            Process process = builder(command).redirectErrorStream(true)
                    .redirectOutput(DISCARD).start();
            return process.waitFor();
        } catch (IOException e) {
            return -1;
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            return -1;
        }
    }

    /** Starts a Windows program that outlives the wizard. */
    static boolean startDetached(String... command) {
        try {
            builder(command).redirectErrorStream(true)
                    .redirectOutput(DISCARD).start().getOutputStream().close();
            return true;
        } catch (IOException e) {
            return false;
        }
    }

    private static ProcessBuilder builder(String... command) {
        List<String> line = new ArrayList<String>();
        if (WINE) {
            line.add(wineLoader());
        }
        line.addAll(Arrays.asList(command));
        return new ProcessBuilder(line);
    }

    private static String wineLoader() {
        String loader = System.getenv("WINE_JAVA_BRIDGE_LOADER");
        return loader == null || loader.isEmpty() ? "wine" : loader;
    }

    // First line a Unix helper prints, or "" when it fails.
    private static String output(String... command) {
        try {
            Process process = new ProcessBuilder(command).redirectError(DISCARD).start();
            BufferedReader reader = new BufferedReader(new InputStreamReader(process.getInputStream(), "UTF-8"));
            String line = reader.readLine();
            while (reader.readLine() != null) {
                // drain
            }
            reader.close();
            return process.waitFor() == 0 && line != null ? line.trim() : "";
        } catch (IOException e) {
            return "";
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            return "";
        }
    }
}
