// Writes the sample wizard's splash picture, an animated GIF, pixel by pixel:
// a rounded panel with the product's name in a small block font and a ring of
// dots that turns. Colour index 0 is black and see-through. No fonts, no
// anti-aliasing and no clock go into it, so every run writes the same bytes.
//
//   java sample/splash/MakeSplashGif.java sample/archive.gif

import java.awt.image.BufferedImage;
import java.awt.image.IndexColorModel;
import java.io.File;
import java.io.IOException;
import javax.imageio.IIOImage;
import javax.imageio.ImageIO;
import javax.imageio.ImageTypeSpecifier;
import javax.imageio.ImageWriteParam;
import javax.imageio.ImageWriter;
import javax.imageio.metadata.IIOMetadata;
import javax.imageio.metadata.IIOMetadataNode;
import javax.imageio.stream.ImageOutputStream;

public class MakeSplashGif {
    static final int WIDTH = 240, HEIGHT = 150, FRAMES = 12, DELAY = 8; // hundredths of a second

    // Palette: 0 black (see-through), 1 panel, 2 panel edge, 3 text, 4 dim dot, 5 bright dot, 6 accent.
    static final byte[] R = {0, 22, 60, (byte) 236, 40, (byte) 255, (byte) 255};
    static final byte[] G = {0, 46, 110, (byte) 240, 84, (byte) 196, 122};
    static final byte[] B = {0, 84, (byte) 170, (byte) 248, (byte) 130, 40, 40};

    // 5x7 block letters for the name.
    static final String[][] GLYPHS = {
        {"O", ".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."},
        {"R", "####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"},
        {"V", "#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."},
        {"A", ".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},
        {"L", "#....", "#....", "#....", "#....", "#....", "#....", "#####"},
        {"E", "#####", "#....", "#....", "####.", "#....", "#....", "#####"},
        {"N", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"},
        {"1", "..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
        {"4", "...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
        {" ", ".....", ".....", ".....", ".....", ".....", ".....", "....."},
    };

    public static void main(String[] args) throws IOException {
        if (args.length != 1) {
            System.err.println("usage: java MakeSplashGif.java OUTPUT.gif");
            System.exit(2);
        }
        IndexColorModel colours = new IndexColorModel(8, R.length, R, G, B, 0);
        ImageWriter writer = ImageIO.getImageWritersByFormatName("gif").next();
        File output = new File(args[0]);
        output.delete();
        try (ImageOutputStream out = ImageIO.createImageOutputStream(output)) {
            writer.setOutput(out);
            writer.prepareWriteSequence(null);
            for (int frame = 0; frame < FRAMES; frame++) {
                BufferedImage image = new BufferedImage(WIDTH, HEIGHT, BufferedImage.TYPE_BYTE_INDEXED, colours);
                drawFrame(image, frame);
                ImageWriteParam param = writer.getDefaultWriteParam();
                IIOMetadata metadata = writer.getDefaultImageMetadata(ImageTypeSpecifier.createFromRenderedImage(image), param);
                describeFrame(metadata, frame == 0);
                writer.writeToSequence(new IIOImage(image, null, metadata), param);
            }
            writer.endWriteSequence();
        }
        writer.dispose();
    }

    static void drawFrame(BufferedImage image, int frame) {
        // Rounded panel with a one-pixel edge.
        int radius = 18;
        for (int y = 0; y < HEIGHT; y++) {
            for (int x = 0; x < WIDTH; x++) {
                int inside = roundedDistance(x, y, radius);
                if (inside >= 0) {
                    set(image, x, y, inside <= 1 ? 2 : 1);
                }
            }
        }
        // Accent bar under the name.
        for (int y = 96; y < 99; y++) {
            for (int x = 40; x < WIDTH - 40; x++) {
                set(image, x, y, 6);
            }
        }
        drawText(image, "ORVALEN 14", 3, 24);
        // Ring of dots; the bright one moves round once per cycle, trailed by one.
        int cx = WIDTH / 2, cy = 122, ring = 14;
        for (int i = 0; i < FRAMES; i++) {
            double angle = 2 * Math.PI * i / FRAMES;
            int dx = (int) Math.round(cx + ring * Math.sin(angle));
            int dy = (int) Math.round(cy - ring * Math.cos(angle));
            boolean lit = i == frame || i == (frame + FRAMES - 1) % FRAMES;
            disc(image, dx, dy, i == frame ? 3 : 2, lit ? 5 : 4);
        }
    }

    // Distance in pixels inside the rounded rectangle (negative outside).
    static int roundedDistance(int x, int y, int radius) {
        int nx = Math.max(Math.max(radius - x, x - (WIDTH - 1 - radius)), 0);
        int ny = Math.max(Math.max(radius - y, y - (HEIGHT - 1 - radius)), 0);
        if (nx > 0 && ny > 0) {
            return radius - (int) Math.ceil(Math.sqrt(nx * nx + ny * ny));
        }
        return Math.min(Math.min(x, WIDTH - 1 - x), Math.min(y, HEIGHT - 1 - y));
    }

    static void drawText(BufferedImage image, String text, int scale, int top) {
        int advance = 6 * scale;
        int left = (WIDTH - (text.length() * advance - scale)) / 2;
        for (int c = 0; c < text.length(); c++) {
            String[] glyph = glyph(text.charAt(c));
            for (int row = 0; row < 7; row++) {
                for (int col = 0; col < 5; col++) {
                    if (glyph[row + 1].charAt(col) == '#') {
                        for (int sy = 0; sy < scale * 2; sy++) {
                            for (int sx = 0; sx < scale; sx++) {
                                set(image, left + c * advance + col * scale + sx, top + row * scale * 2 + sy, 3);
                            }
                        }
                    }
                }
            }
        }
    }

    static String[] glyph(char c) {
        for (String[] g : GLYPHS) {
            if (g[0].charAt(0) == c) {
                return g;
            }
        }
        return GLYPHS[GLYPHS.length - 1];
    }

    static void disc(BufferedImage image, int cx, int cy, int r, int colour) {
        for (int y = -r; y <= r; y++) {
            for (int x = -r; x <= r; x++) {
                if (x * x + y * y <= r * r + r) {
                    set(image, cx + x, cy + y, colour);
                }
            }
        }
    }

    static void set(BufferedImage image, int x, int y, int colour) {
        image.getRaster().setSample(x, y, 0, colour);
    }

    // Delay, see-through index 0, and (first frame) endless looping.
    static void describeFrame(IIOMetadata metadata, boolean first) throws IOException {
        String format = metadata.getNativeMetadataFormatName();
        IIOMetadataNode root = (IIOMetadataNode) metadata.getAsTree(format);
        IIOMetadataNode control = child(root, "GraphicControlExtension");
        control.setAttribute("disposalMethod", "none");
        control.setAttribute("userInputFlag", "FALSE");
        control.setAttribute("transparentColorFlag", "TRUE");
        control.setAttribute("transparentColorIndex", "0");
        control.setAttribute("delayTime", Integer.toString(DELAY));
        // The picture's own colours, padded to a power of two.
        IIOMetadataNode table = child(root, "LocalColorTable");
        while (table.getLength() > 0) {
            table.removeChild(table.getFirstChild());
        }
        table.setAttribute("sizeOfLocalColorTable", "8");
        table.setAttribute("sortFlag", "FALSE");
        for (int i = 0; i < 8; i++) {
            IIOMetadataNode entry = new IIOMetadataNode("ColorTableEntry");
            entry.setAttribute("index", Integer.toString(i));
            entry.setAttribute("red", Integer.toString(i < R.length ? R[i] & 0xFF : 0));
            entry.setAttribute("green", Integer.toString(i < G.length ? G[i] & 0xFF : 0));
            entry.setAttribute("blue", Integer.toString(i < B.length ? B[i] & 0xFF : 0));
            table.appendChild(entry);
        }
        if (first) {
            IIOMetadataNode extensions = child(root, "ApplicationExtensions");
            IIOMetadataNode loop = new IIOMetadataNode("ApplicationExtension");
            loop.setAttribute("applicationID", "NETSCAPE");
            loop.setAttribute("authenticationCode", "2.0");
            loop.setUserObject(new byte[] {1, 0, 0});
            extensions.appendChild(loop);
        }
        metadata.setFromTree(format, root);
    }

    static IIOMetadataNode child(IIOMetadataNode parent, String name) {
        for (int i = 0; i < parent.getLength(); i++) {
            if (parent.item(i).getNodeName().equals(name)) {
                return (IIOMetadataNode) parent.item(i);
            }
        }
        IIOMetadataNode node = new IIOMetadataNode(name);
        parent.appendChild(node);
        return node;
    }
}
