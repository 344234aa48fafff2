package orvalen.setup;

import java.awt.BorderLayout;
import java.awt.CardLayout;
import java.awt.Color;
import java.awt.Dimension;
import java.awt.FlowLayout;
import java.awt.Font;
import java.awt.Graphics2D;
import java.awt.SplashScreen;
import java.awt.event.ActionEvent;
import java.awt.event.ActionListener;
import java.awt.event.WindowAdapter;
import java.awt.event.WindowEvent;
import java.io.IOException;
import java.util.List;
import javax.swing.BorderFactory;
import javax.swing.Box;
import javax.swing.BoxLayout;
import javax.swing.JButton;
import javax.swing.JComponent;
import javax.swing.JFrame;
import javax.swing.JLabel;
import javax.swing.JPanel;
import javax.swing.JProgressBar;
import javax.swing.JTextField;
import javax.swing.SwingUtilities;
import javax.swing.SwingWorker;

/**
 * The installation wizard of Orvalen 14. Started from the disc it installs the
 * product; started from the product's uninstall folder ("uninstall.dat" in the
 * current folder) it removes it. Pages: welcome or removal question, the
 * folder (installing only), the work with its progress, and the end.
 */
public final class Wizard {
    private static final String WELCOME = "welcome", FOLDER = "folder", WORK = "work", DONE = "done";

    private final boolean uninstall = Installer.isUninstall();
    private final JFrame frame = new JFrame(Installer.PRODUCT + (uninstall ? " Uninstall" : " Setup"));
    private final CardLayout cards = new CardLayout();
    private final JPanel pages = new JPanel(cards);
    private final JButton back = new JButton("< Back");
    private final JButton next = new JButton("Next >");
    private final JButton cancel = new JButton("Cancel");
    private final JTextField folder = new JTextField(
            Platform.programFilesFolder() + "\\" + Installer.PRODUCT, 30);
    private final JProgressBar progress = new JProgressBar(0, 100);
    private final JLabel progressText = new JLabel(" ");
    private final JLabel doneText = new JLabel(" ");
    private final JLabel folderHint = new JLabel(" ");
    private String page = WELCOME;

    public static void main(String[] args) {
        showSplashProgress();
        SwingUtilities.invokeLater(new Runnable() {
            public void run() {
                new Wizard().show();
            }
        });
    }

    // Draws a loading bar over the splash picture for a moment; the splash
    // closes by itself when the wizard's window appears.
    private static void showSplashProgress() {
        SplashScreen splash;
        try {
            splash = SplashScreen.getSplashScreen();
        } catch (UnsupportedOperationException e) {
            return;
        }
        if (splash == null) {
            return;
        }
        Dimension size = splash.getSize();
        for (int step = 1; step <= 20 && splash.isVisible(); step++) {
            Graphics2D g = splash.createGraphics();
            g.setColor(new Color(255, 196, 40));
            g.fillRect(40, size.height - 12, (size.width - 80) * step / 20, 3);
            g.dispose();
            splash.update();
            try {
                Thread.sleep(75);
            } catch (InterruptedException e) {
                Thread.currentThread().interrupt();
                return;
            }
        }
    }

    private void show() {
        pages.add(welcomePage(), WELCOME);
        pages.add(folderPage(), FOLDER);
        pages.add(workPage(), WORK);
        pages.add(donePage(), DONE);

        JPanel buttons = new JPanel(new FlowLayout(FlowLayout.RIGHT));
        buttons.add(back);
        buttons.add(next);
        buttons.add(Box.createHorizontalStrut(8));
        buttons.add(cancel);
        back.setMnemonic('B');
        next.setMnemonic('N');
        cancel.setMnemonic('C');
        back.addActionListener(new ActionListener() {
            public void actionPerformed(ActionEvent e) {
                showPage(WELCOME);
            }
        });
        next.addActionListener(new ActionListener() {
            public void actionPerformed(ActionEvent e) {
                forward();
            }
        });
        cancel.addActionListener(new ActionListener() {
            public void actionPerformed(ActionEvent e) {
                System.exit(0);
            }
        });

        JPanel content = new JPanel(new BorderLayout());
        content.add(banner(), BorderLayout.NORTH);
        content.add(pages, BorderLayout.CENTER);
        content.add(buttons, BorderLayout.SOUTH);
        frame.setContentPane(content);
        frame.setDefaultCloseOperation(JFrame.DO_NOTHING_ON_CLOSE);
        frame.addWindowListener(new WindowAdapter() {
            @Override
            public void windowClosing(WindowEvent e) {
                if (cancel.isEnabled() || DONE.equals(page)) {
                    System.exit(0);
                }
            }
        });
        frame.setSize(560, 380);
        frame.setResizable(false);
        frame.setLocationRelativeTo(null);
        showPage(WELCOME);
        frame.setVisible(true);
    }

    private JComponent banner() {
        JLabel title = new JLabel(uninstall ? "Remove " + Installer.PRODUCT : Installer.PRODUCT + " Setup");
        title.setFont(title.getFont().deriveFont(Font.BOLD, 18f));
        title.setForeground(new Color(236, 240, 248));
        JPanel banner = new JPanel(new BorderLayout());
        banner.setBackground(new Color(22, 46, 84));
        banner.setBorder(BorderFactory.createEmptyBorder(14, 18, 14, 18));
        banner.add(title, BorderLayout.CENTER);
        return banner;
    }

    private JComponent welcomePage() {
        if (uninstall) {
            return textPage("This removes " + Installer.PRODUCT + " from",
                    installedFolderText(),
                    "with its registration and its uninstall program.",
                    "Click Remove to go on, or Cancel to keep it.");
        }
        return textPage("Welcome to the installation of " + Installer.PRODUCT + ".",
                "The wizard copies the product to your computer and registers it,",
                "so that it can be removed from the Control Panel later.",
                "Click Next to go on.");
    }

    // The installed folder as Windows names it.
    private static String installedFolderText() {
        try {
            return Platform.windowsPath(Installer.installedFolder());
        } catch (IOException e) {
            return Installer.installedFolder().getPath();
        }
    }

    private JComponent folderPage() {
        JPanel page = textPage("Install " + Installer.PRODUCT + " into this folder:");
        folder.setMaximumSize(new Dimension(Integer.MAX_VALUE, folder.getPreferredSize().height));
        folder.setAlignmentX(0f);
        page.add(folder);
        page.add(Box.createVerticalStrut(8));
        folderHint.setForeground(new Color(170, 30, 30));
        page.add(folderHint);
        return page;
    }

    private JComponent workPage() {
        JPanel page = textPage(uninstall ? "Removing " + Installer.PRODUCT + "..." : "Installing "
                + Installer.PRODUCT + "...");
        progress.setAlignmentX(0f);
        progress.setStringPainted(true);
        page.add(progress);
        page.add(Box.createVerticalStrut(8));
        page.add(progressText);
        return page;
    }

    private JComponent donePage() {
        JPanel page = textPage();
        page.add(doneText);
        return page;
    }

    private static JPanel textPage(String... lines) {
        JPanel page = new JPanel();
        page.setLayout(new BoxLayout(page, BoxLayout.Y_AXIS));
        page.setBorder(BorderFactory.createEmptyBorder(20, 24, 20, 24));
        for (String line : lines) {
            JLabel label = new JLabel(line);
            label.setAlignmentX(0f);
            page.add(label);
            page.add(Box.createVerticalStrut(6));
        }
        page.add(Box.createVerticalStrut(6));
        return page;
    }

    private void showPage(String name) {
        page = name;
        cards.show(pages, name);
        boolean working = WORK.equals(name);
        back.setEnabled(FOLDER.equals(name));
        next.setEnabled(!working);
        cancel.setEnabled(!working && !DONE.equals(name));
        if (DONE.equals(name)) {
            next.setText("Finish");
        } else if (uninstall || FOLDER.equals(name)) {
            next.setText(uninstall ? "Remove" : "Install");
        } else {
            next.setText("Next >");
        }
        frame.getRootPane().setDefaultButton(next);
        if (FOLDER.equals(name)) {
            folder.requestFocusInWindow();
        } else {
            next.requestFocusInWindow();
        }
    }

    private void forward() {
        if (DONE.equals(page)) {
            System.exit(0);
        } else if (WELCOME.equals(page) && !uninstall) {
            showPage(FOLDER);
        } else {
            String target = folder.getText().trim();
            while (target.endsWith("\\") && target.length() > 3) {
                target = target.substring(0, target.length() - 1);
            }
            if (!uninstall && !target.matches("[A-Za-z]:\\\\.+")) {
                folderHint.setText("Please give a full folder path, for example "
                        + Platform.programFilesFolder() + "\\" + Installer.PRODUCT + ".");
                folder.requestFocusInWindow();
                folder.selectAll();
                return;
            }
            showPage(WORK);
            work(target);
        }
    }

    // Installs or removes on a worker thread, then shows the outcome.
    private void work(final String target) {
        new SwingWorker<String, Object[]>() {
            @Override
            protected String doInBackground() {
                Installer.Progress report = new Installer.Progress() {
                    public void step(int percent, String text) {
                        publish(new Object[] {percent, text});
                    }
                };
                try {
                    if (uninstall) {
                        Installer.uninstall(report);
                        return Installer.PRODUCT + " has been removed from your computer.";
                    }
                    Installer.install(target, report);
                    return Installer.PRODUCT + " has been installed in " + target + ".";
                } catch (IOException e) {
                    return (uninstall ? "The removal failed: " : "The installation failed: ") + e.getMessage();
                }
            }

            @Override
            protected void process(List<Object[]> steps) {
                Object[] last = steps.get(steps.size() - 1);
                progress.setValue((Integer) last[0]);
                progressText.setText((String) last[1]);
            }

            @Override
            protected void done() {
                try {
                    doneText.setText(get());
                } catch (Exception e) {
                    doneText.setText("The wizard stopped: " + e);
                }
                showPage(DONE);
            }
        }.execute();
    }
}
