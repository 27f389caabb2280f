import java.io.*;
import java.nio.file.*;
import jp.gr.java_conf.dangan.util.lha.*;

// MakeLha METHOD OUT NAME FILE...: writes a level-0 LHA archive of the files.
public class MakeLha {
    public static void main(String[] args) throws Exception {
        LhaOutputStream out = new LhaOutputStream(new FileOutputStream(args[1]));
        for (int i = 2; i < args.length; ++i) {
            byte[] data = Files.readAllBytes(Paths.get(args[i]));
            LhaHeader header = new LhaHeader(new File(args[i]).getName().toUpperCase());
            header.setCompressMethod(args[0]);
            header.setHeaderLevel(0);
            header.setOriginalSize(data.length);
            header.setLastModified(new java.util.Date(631152000000L));
            out.putNextEntry(header);
            out.write(data);
            out.closeEntry();
        }
        out.close();
    }
}
